#include "menu/hotkey.h"

#include "lib/textCopy.h"

namespace {

struct KeyName {
    const wchar_t* name;  // lower case: compared with the key part folded to lower case
    uint32_t code;
};

// Searched from the top; the first equal name wins.
const KeyName KEY_NAMES[] = {
    {L"end", 0x23},           // VK_END
    {L"home", 0x24},          // VK_HOME
    {L"pgup", 0x21},          // VK_PRIOR
    {L"page up", 0x21},
    {L"pgdn", 0x22},          // VK_NEXT
    {L"↑", 0x26},             // VK_UP
    {L"up", 0x26},
    {L"↓", 0x28},             // VK_DOWN
    {L"down", 0x28},
    {L"←", 0x25},             // VK_LEFT
    {L"left", 0x25},
    {L"→", 0x27},             // VK_RIGHT
    {L"right", 0x27},
    {L"prtsc", 0x2C},         // VK_SNAPSHOT
    {L"print screen", 0x2C},
    {L"del", 0x2E},           // VK_DELETE
    {L"delete", 0x2E},
    {L"insert", 0x2D},        // VK_INSERT
    {L"esc", 0x1B},           // VK_ESCAPE
    {L"space", 0x20},         // VK_SPACE
    {L"tab", 0x09},           // VK_TAB
};

uint32_t LowerAscii(wchar_t c) {
    uint32_t unit = uint32_t(c);
    return (unit >= L'A' && unit <= L'Z') ? unit - L'A' + L'a' : unit;
}

// Substring search over the text folded to lower case; needle is lower case.
bool ContainsLowered(const wchar_t* text, const wchar_t* needle) {
    for (; *text; ++text) {
        size_t i = 0;
        while (needle[i] && LowerAscii(text[i]) == uint32_t(needle[i])) ++i;
        if (!needle[i]) return true;
    }
    return false;
}

}  // namespace

uint32_t HotkeyKeyCode(const wchar_t* text) {
    if (!text) return 0;
    const wchar_t* part = nullptr;
    for (const wchar_t* p = text; *p; ++p)
        if (*p == L'+') part = p + 1;
    if (!part) return 0;

    for (const KeyName& key : KEY_NAMES)
        if (TextEqualsIgnoreAsciiCase(part, key.name)) return key.code;

    size_t length = TextLength(part);
    uint32_t first = LowerAscii(part[0]);
    if (length == 1) {
        if (first >= L'0' && first <= L'9') return first;  // main-keyboard digits, not the keypad
        if (first >= L'a' && first <= L'z') return first - L'a' + 0x41;
    }
    // F-keys by arithmetic on the characters after the f, unchecked.
    if (first == L'f') {
        if (length == 2) return LowerAscii(part[1]) + 0x3F;
        if (length == 3) return LowerAscii(part[2]) + 0x49;
    }
    return 0;
}

uint32_t HotkeyModifiers(const wchar_t* text) {
    if (!text) return 0;
    uint32_t modifiers = 0;
    if (ContainsLowered(text, L"ctrl")) modifiers |= HOTKEY_CONTROL;
    if (ContainsLowered(text, L"alt")) modifiers |= HOTKEY_ALT;
    if (ContainsLowered(text, L"shift")) modifiers |= HOTKEY_SHIFT;
    if (ContainsLowered(text, L"win")) modifiers |= HOTKEY_WIN;
    return modifiers;
}

bool ReadHotkey(const wchar_t* text, uint32_t* modifiers, uint32_t* key) {
    uint32_t readModifiers = 0, readKey = 0;
    if (text && TextLength(text) <= HOTKEY_TEXT_MAX) {
        readModifiers = HotkeyModifiers(text);
        readKey = HotkeyKeyCode(text);  // 0 without a "+"
    }
    if (modifiers) *modifiers = readModifiers;
    if (key) *key = readKey;
    return readModifiers != 0 && readKey != 0;
}

bool ReadItemHotkey(const wchar_t* text, int32_t identifier, uint32_t* modifiers, uint32_t* key) {
    bool readable = ReadHotkey(text, modifiers, key);
    return readable && identifier >= 0 && identifier <= LAST_HOTKEY_ID;
}

void FormatHotkeyMessage(const wchar_t* format, const wchar_t* shownText, wchar_t* out, size_t capacity) {
    FormatOneText(format, shownText, out, capacity);
}
