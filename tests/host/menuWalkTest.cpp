#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/messages.h"
#include "menu/commandItems.h"
#include "menu/menuWalk.h"

namespace {

// What the walk asked the sink for. Menus are numbered: 0 is the root popup the
// caller passes, every created popup takes the next number.
struct Entry {
    enum Kind { ITEM, SEPARATOR, SUBMENU } kind;
    uint32_t flags;
    int32_t identifier;
    std::wstring text;
    int popup;  // for SUBMENU
};

struct Hotkey {
    std::wstring shownText;
    int32_t identifier;
    std::wstring elementName;
    int32_t countAtCall;  // records made when the hotkey was registered
};

struct Recorder {
    std::vector<std::vector<Entry>> menus{1};
    std::vector<Hotkey> hotkeys;
    std::vector<std::wstring> events;  // every call in order
    std::vector<int32_t> countAtItem;  // records made when each item was appended
};

int MenuNumber(void* menu) { return int(reinterpret_cast<uintptr_t>(menu)) - 1; }
void* MenuHandle(int number) { return reinterpret_cast<void*>(uintptr_t(number + 1)); }
Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }

void* CreatePopup(void* context) {
    Recorder& r = Of(context);
    r.menus.emplace_back();
    r.events.push_back(L"create " + std::to_wstring(r.menus.size() - 1));
    return MenuHandle(int(r.menus.size()) - 1);
}

void AppendPopup(void* context, void* parent, void* popup, const wchar_t* text) {
    Recorder& r = Of(context);
    r.menus.at(MenuNumber(parent)).push_back({Entry::SUBMENU, 0, 0, text ? text : L"<null>", MenuNumber(popup)});
    r.events.push_back(L"submenu " + std::to_wstring(MenuNumber(popup)) + L" " + (text ? text : L"<null>"));
}

void AppendSeparator(void* context, void* parent) {
    Recorder& r = Of(context);
    r.menus.at(MenuNumber(parent)).push_back({Entry::SEPARATOR, 0, 0, L"", -1});
    r.events.push_back(L"separator");
}

void AppendItem(void* context, void* parent, uint32_t flags, int32_t identifier, const wchar_t* shownText) {
    Recorder& r = Of(context);
    r.menus.at(MenuNumber(parent)).push_back({Entry::ITEM, flags, identifier, shownText, -1});
    r.countAtItem.push_back(CommandItems.count);
    r.events.push_back(L"item " + std::to_wstring(identifier));
}

void RegisterHotkey(void* context, const XmlElement& element, const wchar_t* shownText, int32_t identifier) {
    Recorder& r = Of(context);
    r.hotkeys.push_back({shownText, identifier, element.name(), CommandItems.count});
    r.events.push_back(L"hotkey " + std::to_wstring(identifier));
}

void Visit(void* context, void* parent, const XmlElement& element, MenuEntry entry, int32_t identifier) {
    static const wchar_t* const WORDS[] = {L"submenu", L"separator", L"item", L"too-long", L"no-identifier",
                                           L"no-room"};
    Of(context).events.push_back(L"visit " + std::to_wstring(MenuNumber(parent)) + L" " + element.name() + L" " +
                                 WORDS[int(entry)] + (identifier ? L" " + std::to_wstring(identifier) : L""));
}

class MenuWalkTest : public testing::Test {
protected:
    // Walks the 菜单 section of document into the root popup 0.
    void Walk(const std::wstring& document) {
        XmlParseResult result = {};
        root = ParseXmlText(document.c_str(), KD_ROOT, &result);
        ASSERT_EQ(result.code, XML_OK);
        XmlElement menu = root.childByName(KD_SECTION_MENU, nullptr);
        ASSERT_FALSE(menu.isEmpty());
        ASSERT_TRUE(InitCommandItems());
        WalkMenu(menu, MenuHandle(0), Sink());
    }
    // Walks a 菜单 whose children are the given markup.
    void WalkItems(const std::wstring& items) { Walk(L"<KeyDeputy><菜单>" + items + L"</菜单></KeyDeputy>"); }

    MenuSink Sink() {
        return {&recorder, CreatePopup, AppendPopup, AppendSeparator, AppendItem, RegisterHotkey, Visit, &CommandItems};
    }
    // Entries of the tray menu, the popup built from 菜单.
    const std::vector<Entry>& Tray() { return recorder.menus.at(1); }
    static std::wstring Command(int index) { return CommandItems.items[index].command; }

    Recorder recorder;
    XmlElement root;  // the records point into it
};

}  // namespace

TEST_F(MenuWalkTest, SubmenuSeparatorAndItemWithHotkey) {
    WalkItems(L"<工具><静音>静音</静音><分割条/></工具>"
              L"<分割条/>"
              L"<记事本 快捷键=\"Ctrl+Alt+N\">notepad.exe</记事本>");

    ASSERT_EQ(recorder.menus.size(), 3u);
    ASSERT_EQ(recorder.menus[0].size(), 1u);  // exactly one entry, the 菜单 submenu
    EXPECT_EQ(recorder.menus[0][0].kind, Entry::SUBMENU);
    EXPECT_EQ(recorder.menus[0][0].text, L"菜单");
    EXPECT_EQ(recorder.menus[0][0].popup, 1);

    ASSERT_EQ(Tray().size(), 3u);
    EXPECT_EQ(Tray()[0].kind, Entry::SUBMENU);
    EXPECT_EQ(Tray()[0].text, L"工具");
    EXPECT_EQ(Tray()[0].popup, 2);
    EXPECT_EQ(Tray()[1].kind, Entry::SEPARATOR);
    EXPECT_EQ(Tray()[2].kind, Entry::ITEM);
    EXPECT_EQ(Tray()[2].text, L"记事本\tCtrl+Alt+N");
    EXPECT_EQ(Tray()[2].identifier, 1025);
    EXPECT_EQ(Tray()[2].flags, MENU_STRING);

    const std::vector<Entry>& tools = recorder.menus[2];
    ASSERT_EQ(tools.size(), 2u);
    EXPECT_EQ(tools[0].kind, Entry::ITEM);
    EXPECT_EQ(tools[0].text, L"静音");
    EXPECT_EQ(tools[0].identifier, 1024);
    EXPECT_EQ(tools[1].kind, Entry::SEPARATOR);

    ASSERT_EQ(recorder.hotkeys.size(), 1u);
    EXPECT_EQ(recorder.hotkeys[0].shownText, L"记事本\tCtrl+Alt+N");
    EXPECT_EQ(recorder.hotkeys[0].identifier, 1025);
    EXPECT_EQ(recorder.hotkeys[0].elementName, L"记事本");

    ASSERT_EQ(CommandItems.count, 2);
    EXPECT_EQ(Command(0), L"静音");
    EXPECT_EQ(Command(1), L"notepad.exe");
    EXPECT_EQ(CommandItems.items[0].handler, nullptr);
    EXPECT_EQ(CommandItems.items[1].handler, nullptr);
}

TEST_F(MenuWalkTest, ChildrenBeforeTheirSubmenuHotkeyBeforeEntryBeforeRecord) {
    WalkItems(L"<工具><静音>静音</静音></工具><分割条/><记事本 快捷键=\"Ctrl+Alt+N\">notepad.exe</记事本>");
    // Each element is told to the visit before its children and after its record.
    const std::vector<std::wstring> expected = {
        L"visit 0 菜单 submenu", L"create 1",         L"visit 1 工具 submenu", L"create 2",
        L"item 1024",           L"visit 2 静音 item 1024", L"submenu 2 工具",  L"visit 1 分割条 separator",
        L"separator",           L"hotkey 1025",      L"item 1025",           L"visit 1 记事本 item 1025",
        L"submenu 1 菜单",
    };
    EXPECT_EQ(recorder.events, expected);
    // The record is made after the hotkey and the entry.
    ASSERT_EQ(recorder.hotkeys.size(), 1u);
    EXPECT_EQ(recorder.hotkeys[0].countAtCall, 1);
    EXPECT_EQ(recorder.countAtItem, (std::vector<int32_t>{0, 1}));
}

// What the walk leaves out is told to the visit with the reason, so that nothing
// but the walk decides it.
TEST_F(MenuWalkTest, LeftOutItemsAreVisitedWithTheirReason) {
    WalkItems(L"<长>" + std::wstring(COMMAND_TEXT_MAX + 1, L'c') + L"</长><短>ok</短>");
    EXPECT_EQ(recorder.events.at(2), L"visit 1 长 too-long");
    EXPECT_EQ(recorder.events.at(4), L"visit 1 短 item 1024");
    recorder = {};
    InitCommandItems();
    for (int32_t i = 0; i <= LAST_COMMAND_ID - FIRST_COMMAND_ID; ++i) ASSERT_TRUE(AppendCommandItem(CommandItems, L"x"));
    WalkMenu(root.childByName(KD_SECTION_MENU, nullptr).childAt(1), MenuHandle(0), Sink());
    EXPECT_EQ(recorder.events, std::vector<std::wstring>{L"visit 0 短 no-identifier"});
}

TEST_F(MenuWalkTest, OneNumberingDepthFirst) {
    WalkItems(L"<甲><a>1</a><乙><b>2</b><分割条/></乙></甲><c>3</c><丙><d>4</d></丙>");
    // Menus: 1 菜单, 2 甲, 3 乙, 4 丙.
    ASSERT_EQ(recorder.menus.size(), 5u);
    EXPECT_EQ(recorder.menus[2][0].identifier, 1024);  // a
    EXPECT_EQ(recorder.menus[3][0].identifier, 1025);  // b in 乙 inside 甲
    ASSERT_EQ(CommandItems.count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Command(i), std::to_wstring(i + 1));
    EXPECT_EQ(Tray()[1].identifier, 1026);  // c, after the two items of 甲
    EXPECT_EQ(Tray()[1].text, L"c");
    EXPECT_EQ(recorder.menus[4][0].identifier, 1027);  // d in 丙
}

TEST_F(MenuWalkTest, ListDoublesKeepingRecords) {
    for (int total : {10, 11, 20, 21, 25}) {
        std::wstring items;
        for (int i = 0; i < total; ++i) items += L"<项>cmd" + std::to_wstring(i) + L"</项>";
        recorder = Recorder();
        WalkItems(items);
        ASSERT_EQ(CommandItems.count, total);
        EXPECT_EQ(CommandItems.capacity, total <= 10 ? 10 : total <= 20 ? 20 : 40) << total;
        ASSERT_EQ(Tray().size(), size_t(total));
        for (int i = 0; i < total; ++i) {
            EXPECT_EQ(Command(i), L"cmd" + std::to_wstring(i));
            EXPECT_EQ(Tray()[i].identifier, FIRST_COMMAND_ID + i);
        }
    }
}

TEST_F(MenuWalkTest, SubmenuAttributesAreIgnored) {
    WalkItems(L"<工具 快捷键=\"Ctrl+Alt+T\" 可选=\"否\" 选中=\"是\">忽略<a>x</a></工具>");
    EXPECT_TRUE(recorder.hotkeys.empty());
    ASSERT_EQ(Tray().size(), 1u);
    EXPECT_EQ(Tray()[0].kind, Entry::SUBMENU);
    EXPECT_EQ(Tray()[0].text, L"工具");
    ASSERT_EQ(recorder.menus[2].size(), 1u);
    EXPECT_EQ(recorder.menus[2][0].flags, MENU_STRING);
    EXPECT_EQ(recorder.menus[2][0].text, L"a");
    ASSERT_EQ(CommandItems.count, 1);
    EXPECT_EQ(Command(0), L"x");
}

TEST_F(MenuWalkTest, GreyedAndCheckedOnlyForTheExactValues) {
    WalkItems(L"<a 可选=\"否\" 快捷键=\"Ctrl+A\">1</a>"
              L"<b 可选=\"是\">2</b><c 可选=\"\">3</c><d 可选=\"否 \">4</d><e 可选>5</e><f 可选=\"NO\">6</f>"
              L"<g 选中=\"是\">7</g><h 选中=\"是 \">8</h><i 选中=\"yes\">9</i><j 选中>10</j><k 选中=\"否\">11</k>"
              L"<l 可选=\"否\" 选中=\"是\">12</l><m>13</m>");
    const uint32_t expected[] = {
        MENU_GRAYED,  MENU_STRING, MENU_STRING, MENU_STRING, MENU_STRING, MENU_STRING, MENU_CHECKED,
        MENU_STRING,  MENU_STRING, MENU_STRING, MENU_STRING, MENU_GRAYED | MENU_CHECKED, MENU_STRING,
    };
    ASSERT_EQ(Tray().size(), 13u);
    for (size_t i = 0; i < 13; ++i) EXPECT_EQ(Tray()[i].flags, expected[i]) << Tray()[i].text;
    // A greyed item still gets its hotkey.
    ASSERT_EQ(recorder.hotkeys.size(), 1u);
    EXPECT_EQ(recorder.hotkeys[0].identifier, 1024);
    EXPECT_EQ(recorder.hotkeys[0].shownText, L"a\tCtrl+A");
}

TEST_F(MenuWalkTest, SeparatorsExactlyAsWritten) {
    WalkItems(L"<分割条/><分割条 快捷键=\"Ctrl+S\">静音</分割条><a>x</a><分割条></分割条><分割条/>");
    ASSERT_EQ(Tray().size(), 5u);
    const Entry::Kind expected[] = {Entry::SEPARATOR, Entry::SEPARATOR, Entry::ITEM, Entry::SEPARATOR, Entry::SEPARATOR};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Tray()[i].kind, expected[i]) << i;
    EXPECT_EQ(Tray()[2].identifier, 1024);
    EXPECT_TRUE(recorder.hotkeys.empty());
    EXPECT_EQ(CommandItems.count, 1);
}

TEST_F(MenuWalkTest, SeparatorNameIsExactAndChildrenMakeASubmenu) {
    WalkItems(L"<分割条><a>x</a></分割条><分割条线>y</分割条线>");
    ASSERT_EQ(Tray().size(), 2u);
    EXPECT_EQ(Tray()[0].kind, Entry::SUBMENU);
    EXPECT_EQ(Tray()[0].text, L"分割条");
    EXPECT_EQ(Tray()[1].kind, Entry::ITEM);
    EXPECT_EQ(Tray()[1].text, L"分割条线");
    EXPECT_EQ(CommandItems.count, 2);
}

TEST_F(MenuWalkTest, ChildlessMenuIsOnePlainItem) {
    Walk(L"<KeyDeputy><菜单>记事本.exe</菜单></KeyDeputy>");
    EXPECT_EQ(recorder.menus.size(), 1u);  // no popup made, so no tray menu
    ASSERT_EQ(recorder.menus[0].size(), 1u);
    EXPECT_EQ(recorder.menus[0][0].kind, Entry::ITEM);
    EXPECT_EQ(recorder.menus[0][0].text, L"菜单");
    EXPECT_EQ(recorder.menus[0][0].identifier, 1024);
    ASSERT_EQ(CommandItems.count, 1);
    EXPECT_EQ(Command(0), L"记事本.exe");
}

TEST_F(MenuWalkTest, ItemWithoutTextIsUndefined) {
    WalkItems(L"<a/><b></b><c>  </c>");
    ASSERT_EQ(CommandItems.count, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Command(i), KD_UNDEFINED_COMMAND);
}

TEST_F(MenuWalkTest, RecordsHoldTheTreesTextsNotCopies) {
    // A copy per record made a long menu cost megabytes; the tree already holds every text.
    WalkItems(L"<a>notepad.exe</a><b/><c>静音<![CDATA[x]]>y</c>");
    XmlElement menu = root.childByName(KD_SECTION_MENU, nullptr);
    ASSERT_EQ(CommandItems.count, 3);
    EXPECT_EQ(CommandItems.items[0].command, menu.childAt(0).text(0));
    EXPECT_STREQ(CommandItems.items[1].command, KD_UNDEFINED_COMMAND);
    EXPECT_EQ(CommandItems.items[2].command, menu.childAt(2).text(0));
    EXPECT_EQ(Command(2), L"静音");
}

TEST_F(MenuWalkTest, CommandTooLongIsLeftOutEntirely) {
    std::wstring tooLong(COMMAND_TEXT_MAX + 1, L'c');
    std::wstring longest(COMMAND_TEXT_MAX, L'k');
    WalkItems(L"<a 快捷键=\"Ctrl+A\">" + tooLong + L"</a><b>" + longest + L"</b><c 快捷键=\"Ctrl+C\">ok</c>");
    // No hotkey, entry or record for a; the numbering goes on without it.
    ASSERT_EQ(recorder.hotkeys.size(), 1u);
    EXPECT_EQ(recorder.hotkeys[0].identifier, 1025);
    EXPECT_EQ(recorder.hotkeys[0].elementName, L"c");
    ASSERT_EQ(Tray().size(), 2u);
    EXPECT_EQ(Tray()[0].text, L"b");
    EXPECT_EQ(Tray()[0].identifier, 1024);
    EXPECT_EQ(Tray()[1].identifier, 1025);
    ASSERT_EQ(CommandItems.count, 2);
    EXPECT_EQ(Command(0), longest);
    EXPECT_EQ(Command(1), L"ok");
}

TEST_F(MenuWalkTest, ItemsPastTheLastMenuIdentifierAreLeftOut) {
    XmlParseResult result = {};
    XmlElement root = ParseXmlText(
        L"<KeyDeputy><菜单><末 快捷键='Ctrl+Alt+M'>last</末><外 快捷键='Ctrl+Alt+W'>out</外><又>out</又></菜单>"
        L"</KeyDeputy>", KD_ROOT, &result);
    ASSERT_EQ(result.code, XML_OK);
    ASSERT_TRUE(InitCommandItems());
    const int32_t before = LAST_COMMAND_ID - FIRST_COMMAND_ID;  // records ahead of the last identifier
    for (int32_t i = 0; i < before; ++i) ASSERT_TRUE(AppendCommandItem(CommandItems, L"x"));
    WalkMenu(root.childByName(KD_SECTION_MENU, nullptr), MenuHandle(0), Sink());
    // The item on 65535 is made whole (its hotkey is then refused by the registration).
    ASSERT_EQ(Tray().size(), 1u);
    EXPECT_EQ(Tray()[0].identifier, 0xFFFF);
    ASSERT_EQ(recorder.hotkeys.size(), 1u);
    EXPECT_EQ(recorder.hotkeys[0].identifier, 0xFFFF);
    ASSERT_EQ(CommandItems.count, before + 1);
    EXPECT_EQ(Command(before), L"last");
}

TEST_F(MenuWalkTest, LongLabelIsCutToTheShownText) {
    std::wstring label(300, L'标');
    WalkItems(L"<" + label + L" 快捷键=\"Ctrl+Alt+N\">x</" + label + L">");
    ASSERT_EQ(Tray().size(), 1u);
    EXPECT_EQ(Tray()[0].text, std::wstring(MENU_TEXT_SIZE - 1, L'标'));
    ASSERT_EQ(recorder.hotkeys.size(), 1u);  // the hotkey is read from the element, not the cut text
    EXPECT_EQ(recorder.hotkeys[0].shownText, Tray()[0].text);
    EXPECT_EQ(Command(0), L"x");

    // Label and hotkey text together are cut at 255 characters.
    std::wstring label250(250, L'L');
    recorder = Recorder();
    WalkItems(L"<" + label250 + L" 快捷键=\"Ctrl+Alt+N\">x</" + label250 + L">");
    EXPECT_EQ(Tray()[0].text, label250 + L"\tCtrl");
}

TEST_F(MenuWalkTest, HotkeyTextShownExactlyAsWritten) {
    WalkItems(L"<a 快捷键=\"ctrl + f5\">1</a><b 快捷键=\"\">2</b><c 快捷键>3</c>");
    // Refused texts are still shown; an empty value is present, a bare name is not.
    ASSERT_EQ(Tray().size(), 3u);
    EXPECT_EQ(Tray()[0].text, L"a\tctrl + f5");
    EXPECT_EQ(Tray()[1].text, L"b\t");
    EXPECT_EQ(Tray()[2].text, L"c");
    ASSERT_EQ(recorder.hotkeys.size(), 2u);
    EXPECT_EQ(recorder.hotkeys[1].identifier, 1025);
}

TEST_F(MenuWalkTest, EmptyHandleAddsNothing) {
    ASSERT_TRUE(InitCommandItems());
    WalkMenu(XmlElement(), MenuHandle(0), Sink());
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(CommandItems.count, 0);
}

TEST_F(MenuWalkTest, ThousandLevelsDeep) {
    // The deepest document the reader accepts: KeyDeputy, 菜单 and the item take three levels.
    const int levels = XML_MAX_DEPTH - 3;
    std::wstring open, close;
    for (int i = 0; i < levels; ++i) {
        open += L"<层>";
        close += L"</层>";
    }
    WalkItems(open + L"<底>静音</底>" + close);
    EXPECT_EQ(recorder.menus.size(), size_t(levels) + 2);
    ASSERT_EQ(CommandItems.count, 1);
    EXPECT_EQ(Command(0), L"静音");
    EXPECT_EQ(recorder.menus.back().at(0).identifier, 1024);
}
