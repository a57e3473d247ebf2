// Reading a 快捷键 text (modifier words, "+", key name) and the refusal message.
#pragma once

#include <cstddef>
#include <cstdint>

// Modifier flags with the platform's values (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
constexpr uint32_t HOTKEY_ALT = 0x1;
constexpr uint32_t HOTKEY_CONTROL = 0x2;
constexpr uint32_t HOTKEY_SHIFT = 0x4;
constexpr uint32_t HOTKEY_WIN = 0x8;

// Longest hotkey text that is read; a longer one is refused, not cut.
constexpr size_t HOTKEY_TEXT_MAX = 31;
// The refusal message has room for 255 characters.
constexpr size_t HOTKEY_MESSAGE_SIZE = 256;

// Virtual-key code of the text after the last "+", or 0 when it names no key
// (also when there is no "+").
uint32_t HotkeyKeyCode(const wchar_t* text);
// Modifier flags of every modifier word found anywhere in the text, possibly 0.
uint32_t HotkeyModifiers(const wchar_t* text);
// Reads text into modifiers and key (either pointer may be null); true when the
// hotkey may be registered: a text of at most 31 characters with a "+", a key and
// at least one modifier.
bool ReadHotkey(const wchar_t* text, uint32_t* modifiers, uint32_t* key);

// Applications may register hotkeys under identifiers 0 to 0xBFFF only.
constexpr int32_t LAST_HOTKEY_ID = 0xBFFF;
// ReadHotkey for the item registered under identifier: false as well when the
// identifier is beyond what an application may use.
bool ReadItemHotkey(const wchar_t* text, int32_t identifier, uint32_t* modifiers, uint32_t* key);

// The refusal message: format with shownText in place of its first "%s", as
// FormatOneText does for every message that names something.
void FormatHotkeyMessage(const wchar_t* format, const wchar_t* shownText, wchar_t* out, size_t capacity);
