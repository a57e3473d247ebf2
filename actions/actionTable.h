// The seventeen built-in actions bound to their handlers, found by their exact Chinese names.
// Linked with the handlers (the Win32 layer, or the host tests' doubles), never into the portable core.
#pragma once

#include "actions/actionNames.h"

struct ActionEntry {
    wchar_t name[ACTION_NAME_SIZE];
    ActionHandler handler;
};

// 17 rows and one empty row after them.
extern const ActionEntry ActionTable[ACTION_COUNT + 1];

// The handler of FindActionRow's row; null when none.
ActionHandler FindAction(const wchar_t* text);
