#include "menu/hotkey.h"

#include "lib/textCopy.h"
#include "menu/keyNames.h"

const wchar_t* HotkeyKeyPart(const wchar_t* text) {
    if (!text) return nullptr;
    const wchar_t* part = nullptr;
    for (const wchar_t* p = text; *p; ++p)
        if (*p == L'+') part = p + 1;
    return part;
}

uint32_t HotkeyKeyCode(const wchar_t* text) {
    const wchar_t* part = HotkeyKeyPart(text);
    if (!part) return 0;

    for (size_t i = 0; i < KEY_NAME_COUNT; ++i)
        if (TextEqualsIgnoreAsciiCase(part, KEY_NAMES[i].name)) return KEY_NAMES[i].code;

    size_t length = TextLength(part);
    uint32_t first = uint32_t(FoldAscii(part[0]));
    if (length == 1) {
        if (first >= L'0' && first <= L'9') return first;  // main-keyboard digits, not the keypad
        if (first >= L'a' && first <= L'z') return first - L'a' + 0x41;
    }
    // F-keys by arithmetic on the characters after the f, unchecked.
    if (first == L'f') {
        if (length == 2) return uint32_t(FoldAscii(part[1])) + 0x3F;
        if (length == 3) return uint32_t(FoldAscii(part[2])) + 0x49;
    }
    return 0;
}

uint32_t HotkeyModifiers(const wchar_t* text) {
    if (!text) return 0;
    uint32_t modifiers = 0;
    if (TextContainsIgnoreAsciiCase(text, L"ctrl")) modifiers |= HOTKEY_CONTROL;
    if (TextContainsIgnoreAsciiCase(text, L"alt")) modifiers |= HOTKEY_ALT;
    if (TextContainsIgnoreAsciiCase(text, L"shift")) modifiers |= HOTKEY_SHIFT;
    if (TextContainsIgnoreAsciiCase(text, L"win")) modifiers |= HOTKEY_WIN;
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

HotkeyRefusal ReadItemHotkeyReason(const wchar_t* text, int32_t identifier, uint32_t* modifiers, uint32_t* key) {
    bool readable = ReadHotkey(text, modifiers, key);
    if (readable) return identifier >= 0 && identifier <= LAST_HOTKEY_ID ? HOTKEY_READABLE : HOTKEY_BAD_IDENTIFIER;
    // The same tests as the reading, in its order, only to name the first that fails.
    if (!text || TextLength(text) > HOTKEY_TEXT_MAX) return HOTKEY_TOO_LONG;
    const wchar_t* part = HotkeyKeyPart(text);
    if (!part) return HOTKEY_NO_PLUS;
    if (!*part) return HOTKEY_PLUS_KEY;
    if (HotkeyKeyCode(text) == 0) return HOTKEY_UNKNOWN_KEY;
    return HOTKEY_NO_MODIFIER;
}

void FormatHotkeyRefusal(const wchar_t* format, const HotkeyRefusalLine& refusal, wchar_t* out, size_t capacity) {
    wchar_t shown[HOTKEY_MESSAGE_SIZE];
    CopyTextCut(shown, HOTKEY_MESSAGE_SIZE, refusal.label);
    AppendTextCut(shown, HOTKEY_MESSAGE_SIZE, L"\t");
    AppendTextCut(shown, HOTKEY_MESSAGE_SIZE, refusal.text);
    FormatHotkeyMessage(format, shown, out, capacity < HOTKEY_MESSAGE_SIZE ? capacity : HOTKEY_MESSAGE_SIZE);

    const wchar_t* keyPart = HotkeyKeyPart(refusal.text);
    const wchar_t* nearest = nullptr;
    const wchar_t* parts[5] = {};
    wchar_t most[12];
    switch (refusal.reason) {
    case HOTKEY_READABLE: return;
    case HOTKEY_TOO_LONG:
        FormatNumber(most, int64_t(HOTKEY_TEXT_MAX));
        parts[0] = L"超过 ";
        parts[1] = most;
        parts[2] = L" 个字符";
        break;
    case HOTKEY_NO_PLUS: parts[0] = L"没有“+”，读不出按键"; break;
    case HOTKEY_PLUS_KEY: parts[0] = L"最后一个“+”之后是空的"; break;
    case HOTKEY_UNKNOWN_KEY:
        nearest = NearestKeyName(keyPart);
        parts[0] = L"“";
        parts[1] = keyPart;
        parts[2] = nearest ? L"”不是按键名，是不是要写“" : L"”不是按键名";
        parts[3] = nearest;
        parts[4] = nearest ? L"”？" : nullptr;
        break;
    case HOTKEY_NO_MODIFIER: parts[0] = L"没有 Ctrl、Alt、Shift 或 Win"; break;
    case HOTKEY_BAD_IDENTIFIER: parts[0] = L"菜单项太多，超出可注册的范围"; break;
    case HOTKEY_DUPLICATE:
        parts[0] = L"与“";
        parts[1] = refusal.holder;
        parts[2] = L"”的热键相同";
        break;
    case HOTKEY_HELD: parts[0] = L"已被其他程序占用"; break;
    }
    AppendTextCut(out, capacity, L"（");
    for (const wchar_t* part : parts)
        if (part) AppendTextCut(out, capacity, part);
    AppendTextCut(out, capacity, L"）");
}

void FormatHotkeyRefusals(const wchar_t* format, const HotkeyRefusalLine* refusals, int32_t count, int32_t total,
                          wchar_t* out, size_t capacity) {
    if (capacity == 0) return;
    out[0] = 0;
    for (int32_t i = 0; i < count && i < HOTKEY_BOX_LINES; ++i) {
        wchar_t line[HOTKEY_MESSAGE_SIZE * 2];
        FormatHotkeyRefusal(format, refusals[i], line, sizeof line / sizeof *line);
        if (i > 0) AppendTextCut(out, capacity, L"\n");
        AppendTextCut(out, capacity, line);
    }
    int32_t listed = count < HOTKEY_BOX_LINES ? count : HOTKEY_BOX_LINES;
    if (total > listed) {
        wchar_t rest[21];
        FormatNumber(rest, total - listed);
        AppendTextCut(out, capacity, L"\n……另有 ");
        AppendTextCut(out, capacity, rest);
        AppendTextCut(out, capacity, L" 个热键未注册");
    }
}

void FormatHotkeyMessage(const wchar_t* format, const wchar_t* shownText, wchar_t* out, size_t capacity) {
    FormatOneText(format, shownText, out, capacity);
}
