// The shipped examples/KeyDeputy.xml, read the way the program reads it: the reader's
// encoding decision, the parser, the configuration lookups and the menu walk.
// It is the user's first configuration, so besides parsing it must show every
// feature and be safe to run: no autostart, hotkeys that can be had, the icon
// recoverable once hidden, the dangerous actions kept apart.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/actionTable.h"
#include "actions/resolution.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/xmlTextDecoding.h"
#include "menu/commandItems.h"
#include "menu/hotkey.h"
#include "menu/menuWalk.h"

namespace {

std::vector<unsigned char> ReadSample() {
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(KD_SAMPLE_CONFIG_FILE, "rb");
    if (file == nullptr) return bytes;
    unsigned char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

// UTF-8 to UTF-16 code units (one per wchar_t); false on a malformed sequence.
bool DecodeUtf8(const unsigned char* p, size_t n, std::wstring* out) {
    for (size_t i = 0; i < n;) {
        unsigned c = p[i], extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 9;
        if (extra == 9 || extra >= n - i) return false;
        unsigned value = extra == 0 ? c : c & (0x3F >> extra);
        for (unsigned k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            value = value << 6 | (p[i + k] & 0x3F);
        }
        i += extra + 1;
        if (value >= 0x10000) {
            *out += wchar_t(0xD800 + ((value - 0x10000) >> 10));
            *out += wchar_t(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            *out += wchar_t(value);
        }
    }
    return true;
}

struct Item {
    std::wstring shownText;
    uint32_t flags;
    std::wstring command;
    std::wstring hotkey;                 // the 快捷键 text, empty when none
    void* parent;
    std::vector<std::wstring> submenus;  // the submenus it sits in, outermost first
};

// Records the walk: every item's entry, hotkey and parent menu. A submenu is
// appended to its parent only after its own entries, so nesting is resolved later.
struct Walk {
    std::map<void*, void*> parentOf;
    std::map<void*, std::wstring> nameOf;
    std::map<int32_t, std::wstring> hotkeyOf;
    std::vector<std::pair<int32_t, Item>> items;  // identifier, item
    std::vector<std::wstring> trayEntries;        // entries of the tray menu, in order
    void* tray = nullptr;
    int popups = 0;

    static Walk& Of(void* c) { return *static_cast<Walk*>(c); }
    static void* Create(void* c) { return reinterpret_cast<void*>(uintptr_t(++Of(c).popups)); }
    static void AppendPopup(void* c, void* parent, void* popup, const wchar_t* text) {
        Of(c).parentOf[popup] = parent;
        Of(c).nameOf[popup] = text;
        if (parent == nullptr) Of(c).tray = popup;
    }
    static void AppendSeparator(void*, void*) {}
    static void AppendItem(void* c, void* parent, uint32_t flags, int32_t id, const wchar_t* shownText) {
        Walk& w = Of(c);
        w.items.push_back({id, {shownText, flags, L"", w.hotkeyOf.count(id) ? w.hotkeyOf[id] : L"", parent, {}}});
    }
    static void RegisterHotkey(void* c, const XmlElement& element, const wchar_t*, int32_t id) {
        const wchar_t* text = element.attributeValue(KD_ATTR_HOTKEY, nullptr);
        Of(c).hotkeyOf[id] = text ? text : L"";
    }
};

class SampleConfig : public testing::Test {
protected:
    void SetUp() override {
        std::vector<unsigned char> bytes = ReadSample();
        ASSERT_FALSE(bytes.empty()) << "cannot read " << KD_SAMPLE_CONFIG_FILE;
        // The program loads with UTF-8 input off; the mark alone must make it UTF-8.
        XmlTextDecision decision = DecideXmlTextEncoding(bytes.data(), bytes.size(), true, false, false);
        ASSERT_EQ(decision.encoding, XmlTextEncoding::Utf8);
        ASSERT_EQ(decision.skipBytes, 3u) << "the file starts with the UTF-8 byte-order mark";
        ASSERT_TRUE(DecodeUtf8(bytes.data() + 3, bytes.size() - 3, &text));
        XmlParseResult result = {};
        ConfigRoot = ParseXmlText(text.c_str(), KD_ROOT, &result);
        ASSERT_EQ(result.code, XML_OK) << "line " << result.line << " column " << result.column;
        ASSERT_FALSE(ConfigRoot.isEmpty());
        EXPECT_STREQ(ConfigRoot.name(), KD_ROOT);
    }
    void TearDown() override { ConfigRoot.release(); }

    void WalkTheMenu() {
        XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
        ASSERT_FALSE(menu.isEmpty());
        ASSERT_TRUE(InitCommandItems());
        WalkMenu(menu, nullptr, {&walk, Walk::Create, Walk::AppendPopup, Walk::AppendSeparator, Walk::AppendItem,
                                 Walk::RegisterHotkey, nullptr, &CommandItems});
        ASSERT_EQ(size_t(CommandItems.count), walk.items.size()) << "an item was left out";
        for (size_t i = 0; i < walk.items.size(); ++i) {
            ASSERT_EQ(walk.items[i].first, FIRST_COMMAND_ID + int32_t(i));
            Item& item = walk.items[i].second;
            item.command = CommandItems.items[i].command;
            for (void* m = item.parent; m != nullptr && m != walk.tray; m = walk.parentOf[m])
                item.submenus.insert(item.submenus.begin(), walk.nameOf[m]);
        }
        ASSERT_NE(walk.tray, nullptr);
    }

    std::wstring text;
    Walk walk;
};

}  // namespace

TEST_F(SampleConfig, SettingsAndTipAreSetAndSafeToRun) {
    const std::wstring name = ConfigText(KD_SECTION_SETTINGS, KD_KEY_NAME, L"");
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 63u);
    EXPECT_TRUE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE));
    // Present but off: a sample run must not write the Run key.
    EXPECT_STREQ(ConfigText(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART, nullptr), KD_NO);
    EXPECT_FALSE(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));

    EXPECT_TRUE(ConfigFlag(KD_SECTION_TIP, KD_KEY_TIP_SHOW));
    const std::wstring content = ConfigText(KD_SECTION_TIP, KD_KEY_TIP_TEXT, L"");
    const std::wstring title = ConfigText(KD_SECTION_TIP, KD_KEY_TIP_TITLE, L"");
    EXPECT_FALSE(content.empty());
    EXPECT_LE(content.size(), 255u);
    EXPECT_FALSE(title.empty());
    EXPECT_LE(title.size(), 63u);
}

TEST_F(SampleConfig, OverridesEveryMessageAndOnlyTheNamingOnesAreFormats) {
    const std::pair<const wchar_t*, const wchar_t*> messages[] = {
        {KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT},         {KD_MSG_EXIT, KD_MSG_EXIT_TEXT},
        {KD_MSG_SHUTDOWN, KD_MSG_SHUTDOWN_TEXT},     {KD_MSG_SCREENSHOT, KD_MSG_SCREENSHOT_TEXT},
        {KD_MSG_REMINDER, KD_MSG_REMINDER_TEXT},     {KD_MSG_RESOLUTION, KD_MSG_RESOLUTION_TEXT},
        {KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT},   {KD_MSG_REPLACE, KD_MSG_REPLACE_TEXT},
        {KD_MSG_AUTOSTART_LEFT, KD_MSG_AUTOSTART_LEFT_TEXT}, {KD_MSG_SAVE_FAILED, KD_MSG_SAVE_FAILED_TEXT},
    };
    for (auto [key, builtIn] : messages) {
        const std::wstring shown = MessageText(key, builtIn);
        EXPECT_NE(shown, builtIn) << "no override for a message key";
        const size_t format = shown.find(L"%s");
        if (std::wstring(key) == KD_MSG_HOTKEY || std::wstring(key) == KD_MSG_REPLACE ||
            std::wstring(key) == KD_MSG_SAVE_FAILED) {
            ASSERT_NE(format, std::wstring::npos);
            EXPECT_EQ(shown.find(L'%', format + 1), std::wstring::npos) << "one %s and no other %";
        } else {
            EXPECT_EQ(shown.find(L'%'), std::wstring::npos) << "a % here would be shown literally";
        }
    }
    // The hotkey message is written over two lines; the line break survives. It names
    // both causes of a refusal: text the program cannot read, or another program's hold.
    const std::wstring hotkeyMessage = MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT);
    EXPECT_NE(hotkeyMessage.find(L'\n'), std::wstring::npos);
    EXPECT_NE(hotkeyMessage.find(L"写法不对"), std::wstring::npos);
    EXPECT_NE(hotkeyMessage.find(L"其他程序占用"), std::wstring::npos);
}

TEST_F(SampleConfig, MenuRunsEveryActionAndEveryOtherKindOfCommand) {
    WalkTheMenu();
    std::set<std::wstring> commands;
    for (auto& [id, item] : walk.items) commands.insert(item.command);

    for (int row = 0; row < ACTION_COUNT; ++row)
        EXPECT_EQ(commands.count(ActionTable[row].name), 1u) << "no item runs action row " << row;
    EXPECT_EQ(commands.count(KD_UNDEFINED_COMMAND), 1u) << "only the greyed title has no command";

    int resolutions = 0;
    for (const std::wstring& c : commands) {
        int32_t width = 0, height = 0;
        if (c.find(KD_RESOLUTION_WORD) == std::wstring::npos) continue;
        ++resolutions;
        EXPECT_TRUE(ReadResolutionText(c.c_str(), &width, &height));
        EXPECT_EQ(width, 1024);
        EXPECT_EQ(height, 768);
    }
    EXPECT_EQ(resolutions, 1);
    for (const wchar_t* shell : {L"notepad.exe", L"calc.exe", L"C:\\"}) EXPECT_EQ(commands.count(shell), 1u) << shell;
    bool web = false;
    for (const std::wstring& c : commands) web = web || c.rfind(L"https://", 0) == 0;
    EXPECT_TRUE(web) << "no web address";
}

TEST_F(SampleConfig, MenuShowsSubmenusGreyedAndCheckedItems) {
    WalkTheMenu();
    int greyed = 0, checked = 0;
    bool nested = false;
    for (auto& [id, item] : walk.items) {
        greyed += (item.flags & MENU_GRAYED) != 0;
        checked += (item.flags & MENU_CHECKED) != 0;
        nested = nested || !item.submenus.empty();
    }
    EXPECT_GE(greyed, 1);
    EXPECT_GE(checked, 1);
    EXPECT_TRUE(nested);
    // The first tray entry becomes the default entry, which drops greying and checks.
    ASSERT_FALSE(walk.items.empty());
    EXPECT_TRUE(walk.items[0].second.submenus.empty());
    EXPECT_EQ(walk.items[0].second.flags, MENU_STRING);
}

TEST_F(SampleConfig, DangerousActionsOnlyInASubmenuThatSaysSo) {
    WalkTheMenu();
    const std::set<std::wstring> dangerous = {L"强制关机", L"强制重启", L"关闭显示器"};
    int found = 0;
    for (auto& [id, item] : walk.items) {
        if (!dangerous.count(item.command)) continue;
        ++found;
        SCOPED_TRACE(testing::Message() << "item " << id);
        ASSERT_FALSE(item.submenus.empty());
        EXPECT_NE(item.submenus.back().find(L"危险"), std::wstring::npos);
        EXPECT_TRUE(item.hotkey.empty()) << "a dangerous action is never one key press away";
    }
    EXPECT_EQ(found, 3);
}

TEST_F(SampleConfig, HotkeysAreValidDistinctAndNotHeldByDesktops) {
    WalkTheMenu();
    std::set<std::pair<uint32_t, uint32_t>> seen;
    bool iconComesBack = false;
    for (auto& [id, item] : walk.items) {
        if (item.hotkey.empty()) continue;
        SCOPED_TRACE(testing::Message() << "hotkey of item " << id);
        uint32_t modifiers = 0, key = 0;
        ASSERT_TRUE(ReadHotkey(item.hotkey.c_str(), &modifiers, &key));
        EXPECT_EQ(item.shownText.substr(item.shownText.find(L'\t') + 1), item.hotkey);
        EXPECT_TRUE(seen.insert({modifiers, key}).second) << "the second item would be refused";
        // Win combinations, Ctrl+Alt+Del/T/L/D, Ctrl+Alt+arrows and Ctrl+Alt+F1..F12
        // belong to Windows or to Linux desktops (and their virtual terminals).
        EXPECT_EQ(modifiers & HOTKEY_WIN, 0u);
        if (modifiers == (HOTKEY_CONTROL | HOTKEY_ALT)) {
            EXPECT_FALSE(key == 0x2E || key == 'T' || key == 'L' || key == 'D');
            EXPECT_FALSE(key >= 0x25 && key <= 0x28);
            EXPECT_FALSE(key >= 0x70 && key <= 0x7B);
        }
        iconComesBack = iconComesBack || item.command == L"隐藏图标";
    }
    EXPECT_GE(seen.size(), 5u);
    // While the icon is hidden the menu cannot be opened; only a hotkey shows it again.
    EXPECT_TRUE(iconComesBack);
}
