// What running a command item means, decided without touching the platform.
#pragma once

#include "actions/actionNames.h"
#include "menu/commandItems.h"

enum class DispatchKind {
    CachedHandler,  // the item's stored action handler
    Resolution,     // the whole command goes to ApplyResolutionCommand
    Action,         // a named action's row; its handler is stored in the item once it has returned
    Shell,          // the whole command goes to the shell as the file to open
};

struct DispatchDecision {
    DispatchKind kind;
    ActionHandler handler;  // set for CachedHandler
    int32_t actionRow;      // set for Action, else NO_ACTION_ROW
};

// A stored handler wins; else a command holding 分辨率 anywhere is a resolution;
// else an exact action name; else the shell. command is a record's text, never null.
DispatchDecision DecideDispatch(const wchar_t* command, ActionHandler cached);
