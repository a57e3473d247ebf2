// The key names a 快捷键 text may end with, and the nearest one to a misspelt name.
#pragma once

#include <cstddef>
#include <cstdint>

struct KeyName {
    const wchar_t* name;  // as the user guide writes it; compared ignoring ASCII case
    uint32_t code;        // the platform's virtual-key code
};

// Searched from the top; the first equal name wins.
extern const KeyName KEY_NAMES[];
extern const size_t KEY_NAME_COUNT;

// The key name (or F1 to F12) a misspelt key part most likely meant, also for the
// names other programs use (PageDown, Escape, ...); null when none is near.
const wchar_t* NearestKeyName(const wchar_t* keyPart);
