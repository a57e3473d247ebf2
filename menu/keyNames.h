// The key names a 快捷键 text may end with, and the nearest one to a misspelt name.
#pragma once

#include <cstddef>
#include <cstdint>

// Virtual-key codes of the named keys, with the platform's values (asserted beside the registration).
constexpr uint32_t KEY_END = 0x23;
constexpr uint32_t KEY_HOME = 0x24;
constexpr uint32_t KEY_PRIOR = 0x21;
constexpr uint32_t KEY_NEXT = 0x22;
constexpr uint32_t KEY_UP = 0x26;
constexpr uint32_t KEY_DOWN = 0x28;
constexpr uint32_t KEY_LEFT = 0x25;
constexpr uint32_t KEY_RIGHT = 0x27;
constexpr uint32_t KEY_SNAPSHOT = 0x2C;
constexpr uint32_t KEY_DELETE = 0x2E;
constexpr uint32_t KEY_INSERT = 0x2D;
constexpr uint32_t KEY_ESCAPE = 0x1B;
constexpr uint32_t KEY_SPACE = 0x20;
constexpr uint32_t KEY_TAB = 0x09;

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
