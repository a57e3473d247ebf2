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

// Why a hotkey is not registered, in the order the reading finds it.
enum HotkeyRefusal : int32_t {
    HOTKEY_READABLE = 0,    // may be registered
    HOTKEY_TOO_LONG,        // more than HOTKEY_TEXT_MAX characters
    HOTKEY_NO_PLUS,         // no "+", so no key part
    HOTKEY_PLUS_KEY,        // nothing after the last "+": the + key cannot be named
    HOTKEY_UNKNOWN_KEY,     // the key part names no key
    HOTKEY_NO_MODIFIER,     // no Ctrl, Alt, Shift or Win
    HOTKEY_BAD_IDENTIFIER,  // the item's identifier is beyond LAST_HOTKEY_ID
    HOTKEY_DUPLICATE,       // an earlier item holds the same combination
    HOTKEY_HELD,            // the platform refused it: another program holds it
};

// The text after the last "+", or null when there is none.
const wchar_t* HotkeyKeyPart(const wchar_t* text);
// ReadHotkey for the item registered under identifier, with the reason it is refused
// (HOTKEY_BAD_IDENTIFIER beyond what an application may use); modifiers and key as
// ReadHotkey gives them.
HotkeyRefusal ReadItemHotkeyReason(const wchar_t* text, int32_t identifier, uint32_t* modifiers, uint32_t* key);

// One refused hotkey as the box lists it. The texts are borrowed.
struct HotkeyRefusalLine {
    const wchar_t* label;
    const wchar_t* text;     // the 快捷键 text as written
    HotkeyRefusal reason;
    const wchar_t* holder;   // HOTKEY_DUPLICATE: the label of the item that has it
};

// The refusal box lists this many lines, then how many more were refused.
constexpr int32_t HOTKEY_BOX_LINES = 20;
constexpr size_t HOTKEY_BOX_SIZE = 8192;

// One line: the format with the shown text (label, tab, hotkey text) in its "%s",
// cut to 255 characters, then the reason in brackets.
void FormatHotkeyRefusal(const wchar_t* format, const HotkeyRefusalLine& refusal, wchar_t* out, size_t capacity);
// The box of one registration: a line for each of the first refusals (at most
// HOTKEY_BOX_LINES of them), then how many of total were left out.
void FormatHotkeyRefusals(const wchar_t* format, const HotkeyRefusalLine* refusals, int32_t count, int32_t total,
                          wchar_t* out, size_t capacity);

// Follows the shown text of a menu entry whose hotkey was refused.
#define HOTKEY_REFUSED_MARK L"（未注册）"

// The refusal message: format with shownText in place of its first "%s", as
// FormatOneText does for every message that names something.
void FormatHotkeyMessage(const wchar_t* format, const wchar_t* shownText, wchar_t* out, size_t capacity);
