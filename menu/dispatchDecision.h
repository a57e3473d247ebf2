// What running a command item means, decided without touching the platform.
#pragma once

#include "menu/commandItems.h"

enum class DispatchKind {
    CachedHandler,  // the item's stored action handler
    Resolution,     // the whole command goes to ApplyResolutionCommand
    Action,         // a named action, to be stored in the item once it has returned
    Shell,          // the whole command goes to the shell as the file to open
};

struct DispatchDecision {
    DispatchKind kind;
    ActionHandler handler;  // set for CachedHandler and Action
};

// A stored handler wins; else a command holding 分辨率 anywhere is a resolution;
// else an exact action name; else the shell. command is a record's text, never null.
DispatchDecision DecideDispatch(const wchar_t* command, ActionHandler cached);
