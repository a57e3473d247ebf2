#include <gtest/gtest.h>

#include <string>

#include <algorithm>
#include <vector>

#include "menu/hotkey.h"
#include "menu/keyNames.h"

namespace {

struct Named {
    const wchar_t* text;
    uint32_t key;
};

std::wstring Upper(const wchar_t* text) {
    std::wstring result(text);
    for (wchar_t& c : result)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return result;
}

std::wstring Format(const wchar_t* format, const wchar_t* shown, size_t capacity = HOTKEY_MESSAGE_SIZE) {
    std::wstring out(capacity + 8, L'#');
    FormatHotkeyMessage(format, shown, out.data(), capacity);
    EXPECT_EQ(out[capacity], L'#');  // nothing written past the capacity
    return std::wstring(out.c_str());
}

const wchar_t HIGH = wchar_t(0xD83D);
const wchar_t LOW = wchar_t(0xDE00);

}  // namespace

TEST(HotkeyKeyCode, EveryKeyNameInAnyAsciiCase) {
    const Named names[] = {
        {L"end", 0x23},   {L"home", 0x24},   {L"pgup", 0x21},   {L"page up", 0x21}, {L"pgdn", 0x22},
        {L"↑", 0x26},     {L"up", 0x26},     {L"↓", 0x28},      {L"down", 0x28},    {L"←", 0x25},
        {L"left", 0x25},  {L"→", 0x27},      {L"right", 0x27},  {L"prtsc", 0x2C},   {L"print screen", 0x2C},
        {L"del", 0x2E},   {L"delete", 0x2E}, {L"insert", 0x2D}, {L"esc", 0x1B},     {L"space", 0x20},
        {L"tab", 0x09},
    };
    for (const Named& name : names) {
        std::wstring lower = std::wstring(L"Ctrl+") + name.text;
        std::wstring upper = L"Ctrl+" + Upper(name.text);
        EXPECT_EQ(HotkeyKeyCode(lower.c_str()), name.key) << testing::PrintToString(lower);
        EXPECT_EQ(HotkeyKeyCode(upper.c_str()), name.key) << testing::PrintToString(upper);
    }
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+Alt+Page Up"), 0x21u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+Alt+Print Screen"), 0x2Cu);
}

TEST(HotkeyKeyCode, DigitsLettersAndFunctionKeys) {
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+0"), 0x30u);  // main keyboard, never the keypad
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+9"), 0x39u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+a"), 0x41u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+A"), 0x41u);
    EXPECT_EQ(HotkeyKeyCode(L"Win+E"), 0x45u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+z"), 0x5Au);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+f"), 0x46u);  // a lone f is the letter
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+F1"), 0x70u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+f9"), 0x78u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+F10"), 0x79u);
    EXPECT_EQ(HotkeyKeyCode(L"CTRL+SHIFT+F12"), 0x7Bu);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+F19"), 0x82u);
    // The characters after the f are not checked: their codes are summed as they are.
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+Fa"), uint32_t(L'a') + 0x3F);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+FAB"), uint32_t(L'b') + 0x49);
}

TEST(HotkeyKeyCode, TextsThatNameNoKey) {
    const wchar_t* texts[] = {
        L"ctrl + f5",      // the key part is " f5": spaces are not skipped
        L"Ctrl+ Home",
        L"Ctrl+page  up",
        L"Ctrl+Alt",       // the key part is "alt"
        L"Ctrl++",         // empty key part: the plus key cannot be named
        L"Ctrl+",
        L"Ctrl+F123",
        L"Ctrl+中",
        L"Ctrl+É",         // only A to Z fold, and only a to z are letters
        L"Ctrl+Homes",
        L"CtrlHome",       // no "+" at all
        L"",
    };
    for (const wchar_t* text : texts) EXPECT_EQ(HotkeyKeyCode(text), 0u) << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(HotkeyKeyCode(nullptr), 0u);
}

TEST(HotkeyKeyCode, OnlyTheTextAfterTheLastPlusCounts) {
    EXPECT_EQ(HotkeyKeyCode(L"Home+End"), 0x23u);
    EXPECT_EQ(HotkeyKeyCode(L"+F5"), 0x74u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+Alt+↑"), 0x26u);
    EXPECT_EQ(HotkeyKeyCode(L"Ctrl+Alt+Up"), 0x26u);
}

TEST(HotkeyModifiers, SubstringSearchOverTheWholeText) {
    EXPECT_EQ(HotkeyModifiers(L"Ctrl+Alt+Home"), HOTKEY_CONTROL | HOTKEY_ALT);
    EXPECT_EQ(HotkeyModifiers(L"CTRL+SHIFT+F12"), HOTKEY_CONTROL | HOTKEY_SHIFT);
    EXPECT_EQ(HotkeyModifiers(L"Win+E"), HOTKEY_WIN);
    EXPECT_EQ(HotkeyModifiers(L"Ctrl+Window+A"), HOTKEY_CONTROL | HOTKEY_WIN);     // inside a longer word
    EXPECT_EQ(HotkeyModifiers(L"ctrlaltshiftwin"), HOTKEY_CONTROL | HOTKEY_ALT | HOTKEY_SHIFT | HOTKEY_WIN);
    EXPECT_EQ(HotkeyModifiers(L"Ctrl+Ctrl+Ctrl+A"), HOTKEY_CONTROL);              // counted once
    EXPECT_EQ(HotkeyModifiers(L"Ctrl+Alt"), HOTKEY_CONTROL | HOTKEY_ALT);         // the key part too
    EXPECT_EQ(HotkeyModifiers(L"+F5"), 0u);
    EXPECT_EQ(HotkeyModifiers(L"Ctr l+A"), 0u);
    EXPECT_EQ(HotkeyModifiers(L"ＣＴＲＬ+A"), 0u);  // full-width letters do not fold
    EXPECT_EQ(HotkeyModifiers(nullptr), 0u);
}

TEST(ReadHotkey, RegistrableOnlyWithKeyAndModifier) {
    uint32_t modifiers = 99, key = 99;
    EXPECT_TRUE(ReadHotkey(L"Ctrl+Alt+Home", &modifiers, &key));
    EXPECT_EQ(modifiers, HOTKEY_CONTROL | HOTKEY_ALT);
    EXPECT_EQ(key, 0x24u);
    EXPECT_TRUE(ReadHotkey(L"Ctrl+Alt+PgDn", &modifiers, &key));
    EXPECT_EQ(key, 0x22u);

    EXPECT_FALSE(ReadHotkey(L"+F5", &modifiers, &key));         // no modifier
    EXPECT_EQ(key, 0x74u);
    EXPECT_FALSE(ReadHotkey(L"Ctrl+Alt", &modifiers, &key));    // no key
    EXPECT_FALSE(ReadHotkey(L"ctrl + f5", &modifiers, &key));
    EXPECT_FALSE(ReadHotkey(L"Ctrl++", &modifiers, &key));
    EXPECT_FALSE(ReadHotkey(L"CtrlA", &modifiers, &key));       // no "+"
    EXPECT_FALSE(ReadHotkey(L"", &modifiers, &key));
    EXPECT_FALSE(ReadHotkey(nullptr, &modifiers, &key));
    EXPECT_EQ(modifiers, 0u);
    EXPECT_EQ(key, 0u);
    EXPECT_TRUE(ReadHotkey(L"Win+E", nullptr, nullptr));
}

TEST(ReadItemHotkeyReason, OnlyUnderTheIdentifiersAnApplicationMayUse) {
    uint32_t modifiers = 0, key = 0;
    EXPECT_EQ(ReadItemHotkeyReason(L"Ctrl+Alt+Home", 1024, &modifiers, &key), HOTKEY_READABLE);
    EXPECT_EQ(ReadItemHotkeyReason(L"Ctrl+Alt+Home", 0xBFFF, &modifiers, &key), HOTKEY_READABLE);
    EXPECT_EQ(modifiers, HOTKEY_CONTROL | HOTKEY_ALT);
    EXPECT_EQ(key, 0x24u);
    for (int32_t identifier : {0xC000, 0xFFFF, 0x10000, -1})
        EXPECT_EQ(ReadItemHotkeyReason(L"Ctrl+Alt+Home", identifier, &modifiers, &key), HOTKEY_BAD_IDENTIFIER)
            << identifier;
}

TEST(ReadHotkey, LongerThanThirtyOneCharactersIsRefused) {
    std::wstring longest = L"Ctrl" + std::wstring(22, L'-') + L"+Home";
    ASSERT_EQ(longest.size(), HOTKEY_TEXT_MAX);
    uint32_t modifiers = 0, key = 0;
    EXPECT_TRUE(ReadHotkey(longest.c_str(), &modifiers, &key));
    EXPECT_EQ(key, 0x24u);
    std::wstring tooLong = L"Ctrl" + std::wstring(23, L'-') + L"+Home";
    EXPECT_FALSE(ReadHotkey(tooLong.c_str(), &modifiers, &key));
    EXPECT_EQ(key, 0u);
}

TEST(FormatHotkeyMessage, ShownTextTakesTheFirstPercentS) {
    EXPECT_EQ(Format(L"%s\t热键注册失败！", L"记事本\tCtrl+Alt+N"), L"记事本\tCtrl+Alt+N\t热键注册失败！");
    EXPECT_EQ(Format(L"热键 %s 不可用", L"A\tCtrl+A"), L"热键 A\tCtrl+A 不可用");
    EXPECT_EQ(Format(L"热键注册失败", L"A\tCtrl+A"), L"热键注册失败");  // no %s: unchanged
}

TEST(FormatHotkeyMessage, EveryOtherPercentShownAsWritten) {
    EXPECT_EQ(Format(L"%s %d %n", L"L"), L"L %d %n");
    EXPECT_EQ(Format(L"%s and %s", L"L"), L"L and %s");
    EXPECT_EQ(Format(L"%d%x%", L"L"), L"%d%x%");
    EXPECT_EQ(Format(L"100%", L"L"), L"100%");
    // The shown text is not a format either.
    EXPECT_EQ(Format(L"[%s]", L"%s%n%d"), L"[%s%n%d]");
}

TEST(FormatHotkeyMessage, CutToCapacityNeverInsideAPair) {
    std::wstring shown(300, L'x');
    std::wstring result = Format(L"%s\t热键注册失败！", shown.c_str());
    EXPECT_EQ(result, std::wstring(255, L'x'));

    // A pair that would straddle the end is dropped whole.
    std::wstring paired = std::wstring(254, L'y') + HIGH + LOW;
    result = Format(L"%s!", paired.c_str());
    EXPECT_EQ(result, std::wstring(254, L'y'));
    std::wstring fits = std::wstring(253, L'y') + HIGH + LOW;
    EXPECT_EQ(Format(L"%s!", fits.c_str()), fits);

    EXPECT_EQ(Format(L"abc", L"", 1), L"");
    EXPECT_EQ(Format(L"abc%s", L"def", 5), L"abcd");
}

TEST(FormatHotkeyMessage, NullTextsAreEmpty) {
    EXPECT_EQ(Format(L"%s!", nullptr), L"!");
    EXPECT_EQ(Format(nullptr, L"label"), L"");
}

TEST(ReadItemHotkeyReason, NamesTheFirstPartThatFails) {
    struct Case {
        const wchar_t* text;
        int32_t identifier;
        HotkeyRefusal reason;
    } const cases[] = {
        {L"Ctrl+Alt+N", 1024, HOTKEY_READABLE},
        {L"Ctrl+Alt+N", LAST_HOTKEY_ID + 1, HOTKEY_BAD_IDENTIFIER},
        {L"Ctrl+Alt+N", -1, HOTKEY_BAD_IDENTIFIER},
        {nullptr, 1024, HOTKEY_TOO_LONG},
        {L"+Ctrl+Alt+Shift+Win+Print Screen", 1024, HOTKEY_TOO_LONG},  // 32 characters, readable otherwise
        {L"CtrlAltN", 1024, HOTKEY_NO_PLUS},
        {L"", 1024, HOTKEY_NO_PLUS},
        {L"Ctrl++", 1024, HOTKEY_PLUS_KEY},
        {L"Ctrl+Alt+PageUp", 1024, HOTKEY_UNKNOWN_KEY},
        {L"ctrl + f5", 1024, HOTKEY_UNKNOWN_KEY},  // the key part is " f5"
        {L"Ctrl+Alt", 1024, HOTKEY_UNKNOWN_KEY},
        {L"+F5", 1024, HOTKEY_NO_MODIFIER},
        {L"Cmd+PgUp", 1024, HOTKEY_NO_MODIFIER},
    };
    for (const Case& c : cases) {
        uint32_t modifiers = 9, key = 9;
        EXPECT_EQ(ReadItemHotkeyReason(c.text, c.identifier, &modifiers, &key), c.reason)
            << testing::PrintToString(c.text ? c.text : L"(null)");
    }
    std::wstring exactly31 = L"Ctrl+Alt+Shift+Win+Print Screen";
    EXPECT_EQ(exactly31.size(), 31u);
    EXPECT_EQ(ReadItemHotkeyReason(exactly31.c_str(), 1024, nullptr, nullptr), HOTKEY_READABLE);
}

TEST(NearestKeyName, AliasesNearNamesAndNothingFar) {
    EXPECT_STREQ(NearestKeyName(L"PageUp"), L"PgUp");
    EXPECT_STREQ(NearestKeyName(L"escape"), L"Esc");
    EXPECT_STREQ(NearestKeyName(L"Hom"), L"Home");
    EXPECT_STREQ(NearestKeyName(L"Insrt"), L"Insert");
    EXPECT_STREQ(NearestKeyName(L" f5"), L"F5");
    // A single character is one edit from an arrow sign; it is never offered.
    EXPECT_EQ(NearestKeyName(L"é"), nullptr);
    EXPECT_EQ(NearestKeyName(L"Keyboard"), nullptr);
    EXPECT_EQ(NearestKeyName(L""), nullptr);
    EXPECT_EQ(NearestKeyName(nullptr), nullptr);
}

namespace {
std::wstring Refusal(const wchar_t* format, HotkeyRefusalLine line) {
    wchar_t out[HOTKEY_MESSAGE_SIZE * 2];
    FormatHotkeyRefusal(format, line, out, HOTKEY_MESSAGE_SIZE * 2);
    return out;
}
}  // namespace

TEST(FormatHotkeyRefusal, TheFormattedLineThenItsReason) {
    const wchar_t* format = L"%s\t热键注册失败！";
    EXPECT_EQ(Refusal(format, {L"记事本", L"Ctrl+Alt+N", HOTKEY_HELD, nullptr}),
              L"记事本\tCtrl+Alt+N\t热键注册失败！（已被其他程序占用）");
    EXPECT_EQ(Refusal(format, {L"翻页", L"Ctrl+Alt+PageUp", HOTKEY_UNKNOWN_KEY, nullptr}),
              L"翻页\tCtrl+Alt+PageUp\t热键注册失败！（“PageUp”不是按键名，是不是要写“PgUp”？）");
    EXPECT_EQ(Refusal(format, {L"甲", L"Ctrl+Alt+Qwerty", HOTKEY_UNKNOWN_KEY, nullptr}),
              L"甲\tCtrl+Alt+Qwerty\t热键注册失败！（“Qwerty”不是按键名）");
    EXPECT_EQ(Refusal(format, {L"乙", L"Ctrl+Alt+N", HOTKEY_DUPLICATE, L"记事本"}),
              L"乙\tCtrl+Alt+N\t热键注册失败！（与“记事本”的热键相同）");
    EXPECT_EQ(Refusal(format, {L"丙", L"F5", HOTKEY_NO_PLUS, nullptr}), L"丙\tF5\t热键注册失败！（没有“+”，读不出按键）");
    // An override still formats the line; its other % signs stay as written.
    EXPECT_EQ(Refusal(L"无法使用 %s %d", {L"丁", L"+F5", HOTKEY_NO_MODIFIER, nullptr}),
              L"无法使用 丁\t+F5 %d（没有 Ctrl、Alt、Shift 或 Win）");
    // The formatted part keeps its 255-character limit; the reason still follows.
    std::wstring label(300, L'x');
    std::wstring line = Refusal(format, {label.c_str(), L"Ctrl+A", HOTKEY_HELD, nullptr});
    EXPECT_EQ(line, std::wstring(255, L'x') + L"（已被其他程序占用）");
}

TEST(FormatHotkeyRefusals, OneLineEachThenTheCountLeftOut) {
    std::vector<HotkeyRefusalLine> lines(HOTKEY_BOX_LINES, {L"项", L"Ctrl+Alt+N", HOTKEY_HELD, nullptr});
    lines[0] = {L"甲", L"Ctrl+Q", HOTKEY_HELD, nullptr};
    lines[1] = {L"乙", L"Ctrl+Q", HOTKEY_DUPLICATE, L"甲"};
    std::vector<wchar_t> out(HOTKEY_BOX_SIZE + 1, L'#');

    FormatHotkeyRefusals(L"%s!", lines.data(), 2, 2, out.data(), HOTKEY_BOX_SIZE);
    EXPECT_EQ(std::wstring(out.data()), L"甲\tCtrl+Q!（已被其他程序占用）\n乙\tCtrl+Q!（与“甲”的热键相同）");

    FormatHotkeyRefusals(L"%s!", lines.data(), HOTKEY_BOX_LINES, 856, out.data(), HOTKEY_BOX_SIZE);
    std::wstring box(out.data());
    EXPECT_EQ(std::count(box.begin(), box.end(), L'\n'), HOTKEY_BOX_LINES);
    EXPECT_NE(box.find(L"\n……另有 836 个热键未注册"), std::wstring::npos) << testing::PrintToString(box);

    // A small buffer is filled to its end and no further.
    out.assign(out.size(), L'#');
    FormatHotkeyRefusals(L"%s!", lines.data(), 2, 2, out.data(), 10);
    EXPECT_EQ(std::wstring(out.data()), L"甲\tCtrl+Q!");
    EXPECT_EQ(out[10], L'#');
}
