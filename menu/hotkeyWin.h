#pragma once

#include <windows.h>

#include <cstdint>

#include "lib/growArray.h"
#include "menu/hotkey.h"

// One item's 快捷键, as the menu walk found it. The texts are borrowed from the
// configuration tree.
struct HotkeyRequest {
    int32_t identifier;
    const wchar_t* label;
    const wchar_t* text;
    uint32_t modifiers;     // filled by RegisterHotkeys
    uint32_t key;
    HotkeyRefusal outcome;  // HOTKEY_READABLE once registered
};

using HotkeyRequestList = GrowArray<HotkeyRequest, int32_t, 16>;

// Registers every request for MainWindow in order. The refused ones are marked in
// their entries of menu (searched by identifier, submenus included) and listed in
// one warning box, each with its reason. Returns how many were refused.
int32_t RegisterHotkeys(HotkeyRequestList* list, HMENU menu);

// Hotkeys registered since the count was last set to 0 (by each menu build).
extern int32_t RegisteredHotkeyCount;
