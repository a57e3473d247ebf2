// The seventeen built-in actions, found by their exact Chinese names.
#pragma once

#include "menu/commandItems.h"

constexpr int32_t ACTION_NAME_SIZE = 32;
constexpr int32_t ACTION_COUNT = 17;

struct ActionEntry {
    wchar_t name[ACTION_NAME_SIZE];
    ActionHandler handler;
};

// 17 rows and one empty row after them.
extern const ActionEntry ActionTable[ACTION_COUNT + 1];

// Exact, case-sensitive, whole-text match against rows 0 to 16; null when none.
ActionHandler FindAction(const wchar_t* text);
