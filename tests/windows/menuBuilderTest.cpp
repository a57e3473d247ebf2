// The tray menu and hotkeys built from 菜单, read back from real menus and hotkeys.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/appInstance.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/trayIcon.h"
#include "menu/commandItems.h"
#include "menu/hotkeyWin.h"
#include "menu/menuWalk.h"
#include "menu/menuWalkWin.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

namespace {
HWND MakeHotkeyWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW c = {};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"kdtest hotkey window";
        RegisterClassW(&c);
        registered = true;
    }
    return CreateWindowW(L"kdtest hotkey window", L"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

// Builds 菜单 of document like the main window does; returns the root popup.
HMENU Build(const wchar_t* document) {
    if (!UseConfig(document)) return nullptr;
    AppInstance = GetModuleHandleW(nullptr);
    if (!MainWindow) MainWindow = MakeHotkeyWindow();
    CommandItems.releaseMemory();
    if (!InitCommandItems()) return nullptr;
    HMENU root = CreatePopupMenu();
    XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
    BuildMenu(menu, root);
    return root;
}

// count items in submenus of 100: Wine's appends to one popup slow down with its length.
std::wstring MenuOfItems(int count) {
    if (!count) return L"<KeyDeputy/>";
    std::wstring document = L"<KeyDeputy><菜单>";
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0) document += i ? L"</组><组>" : L"<组>";
        document += L"<项>C:\\kd\\m" + std::to_wstring(i) + L".bat</项>";
    }
    return document + L"</组></菜单></KeyDeputy>";
}

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[512] = L"";
    GetMenuStringW(menu, position, text, 512, MF_BYPOSITION);
    return text;
}

UINT ItemType(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.fType;
}

UINT ItemState(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.fState;
}

// Whether another window can still take this combination.
bool CombinationFree(UINT modifiers, UINT key) {
    HWND probe = MakeHotkeyWindow();
    bool free = RegisterHotKey(probe, 0x7000, modifiers, key);
    if (free) UnregisterHotKey(probe, 0x7000);
    DestroyWindow(probe);
    return free;
}

void UnregisterAll() {
    for (int id = FIRST_COMMAND_ID; id < FIRST_COMMAND_ID + CommandItems.count; ++id) UnregisterHotKey(MainWindow, id);
}
}  // namespace

TEST(MenuBuilder, ExampleMenuReadsBackWithIdentifiersAndHotkey) {
    HMENU root = Build(
        L"<KeyDeputy><菜单>"
        L"<工具><静音>静音</静音><分割条/></工具>"
        L"<分割条/>"
        L"<记事本 快捷键=\"Ctrl+Alt+N\">notepad.exe</记事本>"
        L"</菜单></KeyDeputy>");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(GetMenuItemCount(root), 1);
    EXPECT_EQ(ItemText(root, 0), L"菜单");
    HMENU tray = GetSubMenu(root, 0);
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(GetMenuItemCount(tray), 3);

    EXPECT_EQ(ItemText(tray, 0), L"工具");
    HMENU tools = GetSubMenu(tray, 0);
    ASSERT_NE(tools, nullptr);
    ASSERT_EQ(GetMenuItemCount(tools), 2);
    EXPECT_EQ(ItemText(tools, 0), L"静音");
    EXPECT_EQ(GetMenuItemID(tools, 0), 1024u);
    EXPECT_EQ(ItemType(tools, 1) & MFT_SEPARATOR, UINT(MFT_SEPARATOR));

    EXPECT_EQ(ItemType(tray, 1) & MFT_SEPARATOR, UINT(MFT_SEPARATOR));
    EXPECT_EQ(ItemText(tray, 2), L"记事本\tCtrl+Alt+N");
    EXPECT_EQ(GetMenuItemID(tray, 2), 1025u);

    ASSERT_EQ(CommandItems.count, 2);
    EXPECT_STREQ(CommandItems.items[0].command, L"静音");
    EXPECT_STREQ(CommandItems.items[1].command, L"notepad.exe");
    EXPECT_EQ(CommandItems.items[1].handler, nullptr);
    EXPECT_FALSE(CombinationFree(MOD_CONTROL | MOD_ALT, 'N')) << "Ctrl+Alt+N should be held by the main window";
    UnregisterAll();
    EXPECT_TRUE(CombinationFree(MOD_CONTROL | MOD_ALT, 'N'));
}

TEST(MenuBuilder, StatesFollowExactValuesAndSubmenuAttributesAreIgnored) {
    HMENU root = Build(
        L"<KeyDeputy><菜单>"
        L"<灰 可选=\"否\" 快捷键=\"Ctrl+Alt+F7\">a</灰><亮 可选=\"是\">b</亮><空 可选=\"\">c</空>"
        L"<勾 选中=\"是\">d</勾><不勾 选中=\"是 \">e</不勾>"
        L"<子 快捷键=\"Ctrl+Alt+F8\" 可选=\"否\" 选中=\"是\"><内>f</内></子>"
        L"<分割条><x>g</x></分割条>"
        L"</菜单></KeyDeputy>");
    ASSERT_NE(root, nullptr);
    HMENU tray = GetSubMenu(root, 0);
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(GetMenuItemCount(tray), 7);
    EXPECT_TRUE(ItemState(tray, 0) & MFS_GRAYED);
    EXPECT_FALSE(ItemState(tray, 1) & MFS_GRAYED);
    EXPECT_FALSE(ItemState(tray, 2) & MFS_GRAYED);
    EXPECT_TRUE(ItemState(tray, 3) & MFS_CHECKED);
    EXPECT_FALSE(ItemState(tray, 4) & MFS_CHECKED);
    // A greyed item still holds its hotkey.
    EXPECT_FALSE(CombinationFree(MOD_CONTROL | MOD_ALT, VK_F7));
    // The submenu carries neither hotkey nor states.
    EXPECT_EQ(ItemText(tray, 5), L"子");
    EXPECT_NE(GetSubMenu(tray, 5), nullptr);
    EXPECT_FALSE(ItemState(tray, 5) & (MFS_GRAYED | MFS_CHECKED));
    EXPECT_TRUE(CombinationFree(MOD_CONTROL | MOD_ALT, VK_F8));
    // 分割条 with children is a submenu of that name.
    EXPECT_EQ(ItemText(tray, 6), L"分割条");
    EXPECT_NE(GetSubMenu(tray, 6), nullptr);
    EXPECT_EQ(CommandItems.count, 7);
    UnregisterAll();
}

TEST(MenuBuilder, ListDoublesKeepingContents) {
    std::wstring doc = L"<KeyDeputy><菜单>";
    for (int i = 0; i < 25; ++i) doc += L"<i" + std::to_wstring(i) + L">cmd" + std::to_wstring(i) + L"</i" +
                                        std::to_wstring(i) + L">";
    doc += L"</菜单></KeyDeputy>";
    HMENU root = Build(doc.c_str());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(CommandItems.count, 25);
    EXPECT_EQ(CommandItems.capacity, 40);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(std::wstring(CommandItems.items[i].command), L"cmd" + std::to_wstring(i));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(root, 0), 24), UINT(FIRST_COMMAND_ID + 24));
}

// What grows with the menu at start-up, 1,000 and 10,000 items against an empty menu,
// in interleaved rounds; the fastest of each counts, as the machine's noise only adds.
// The whole (reading the document, list and Wine's menus) may take at most 16 times as
// long for 10,000 items as for 1,000; the command list alone (the walk without menus),
// which comes near 12 to 20 as its tree outgrows the cache, at most 25 (tests/README.md).
// A list that copies itself as it grows is far beyond both (ratios above 100). Records that copied their
// commands (2 KB each) stayed near linear but made the list two thirds of the whole.
TEST(MenuBuilder, BuildGrowsLinearlyWithTheMenu) {
    const int counts[] = {0, 1000, 10000};
    std::wstring documents[3];
    double whole[3] = {1e9, 1e9, 1e9}, list[3] = {1e9, 1e9, 1e9};
    for (int k = 0; k < 3; ++k) documents[k] = MenuOfItems(counts[k]);
    MenuSink noMenus = {nullptr, [](void*) -> void* { return nullptr; },
                        [](void*, void*, void*, const wchar_t*) {}, [](void*, void*) {},
                        [](void*, void*, uint32_t, int32_t, const wchar_t*) {},
                        [](void*, const XmlElement&, const wchar_t*, int32_t) {}, nullptr, &CommandItems};
    for (int round = 0; round < 20; ++round) {
        for (int k = 0; k < 3; ++k) {
            // Start-up has no earlier document or list to free; freeing the last round's
            // would charge one size's to another.
            ConfigRoot.release();
            CommandItems.releaseMemory();
            double started = Now();
            HMENU root = Build(documents[k].c_str());
            whole[k] = std::min(whole[k], Now() - started);
            ASSERT_NE(root, nullptr);
            ASSERT_EQ(CommandItems.count, counts[k]);
            DestroyMenu(root);
            XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
            started = Now();
            ASSERT_TRUE(InitCommandItems());
            WalkMenu(menu, nullptr, noMenus);
            list[k] = std::min(list[k], Now() - started);
            ASSERT_EQ(CommandItems.count, counts[k]);
        }
    }
    double wholeRatio = (whole[2] - whole[0]) / (whole[1] - whole[0]);
    double listRatio = (list[2] - list[0]) / (list[1] - list[0]);
    printf("read and build: empty %.2f ms, 1,000 items %.2f ms, 10,000 items %.2f ms; ratio %.1f\n", whole[0],
           whole[1], whole[2], wholeRatio);
    printf("command list: empty %.2f ms, 1,000 items %.2f ms, 10,000 items %.2f ms; ratio %.1f\n", list[0], list[1],
           list[2], listRatio);
    ASSERT_GT(whole[1], whole[0]);
    ASSERT_GT(list[1], list[0]);
    EXPECT_LE(listRatio, 25.0);
    EXPECT_LE(wholeRatio, 16.0);
    EXPECT_LE(list[2] - list[0], (whole[2] - whole[0]) / 4);
}

TEST(MenuBuilder, NoMenuSectionOrChildlessMenuGivesNoTrayMenu) {
    HMENU root = Build(L"<KeyDeputy><设置/></KeyDeputy>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(GetSubMenu(root, 0), nullptr);
    EXPECT_EQ(CommandItems.count, 0);

    root = Build(L"<KeyDeputy><菜单>notepad.exe</菜单></KeyDeputy>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(GetSubMenu(root, 0), nullptr);
    EXPECT_EQ(ItemText(root, 0), L"菜单");
    ASSERT_EQ(CommandItems.count, 1);
    EXPECT_STREQ(CommandItems.items[0].command, L"notepad.exe");
}

// arg: the whole document; builds the menu and ends, showing whatever boxes the build shows.
KD_CHILD_MODE(ChildBuildMenu, L"buildmenu") {
    return Build(arg) ? 0 : 3;
}

TEST(HotkeyRegistration, EveryRefusalOfOneBuildInOneBoxWithItsReason) {
    // A duplicate, no "+", no modifier, too long and an unknown key name: one box
    // for all five, after which the build ends (a second box would keep the child).
    HANDLE child = StartChild(L"buildmenu",
                              L"<KeyDeputy><设置><名称>KD Hotkeys</名称></设置><菜单>"
                              L"<甲 快捷键='Ctrl+Alt+J'>a</甲><乙 快捷键='Ctrl+Alt+J'>b</乙>"
                              L"<a 快捷键='F5'>a</a><b 快捷键='+F5'>b</b>"
                              L"<c 快捷键='Ctrl+Alt+Shift+Win+Ctrl+Alt+Shift+F5'>c</c>"
                              L"<d 快捷键='Ctrl+Alt+PageUp'>d</d></菜单></KeyDeputy>");
    ASSERT_NE(child, nullptr);
    HWND box = WaitForBox(L"KD Hotkeys", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box),
              L"乙\tCtrl+Alt+J\t热键注册失败！（与“甲”的热键相同）\n"
              L"a\tF5\t热键注册失败！（没有“+”，读不出按键）\n"
              L"b\t+F5\t热键注册失败！（没有 Ctrl、Alt、Shift 或 Win）\n"
              L"c\tCtrl+Alt+Shift+Win+Ctrl+Alt+Shift+F5\t热键注册失败！（超过 31 个字符）\n"
              L"d\tCtrl+Alt+PageUp\t热键注册失败！（“PageUp”不是按键名，是不是要写“PgUp”？）");
    EXPECT_TRUE(BoxHasButton(box, IDOK));
    EXPECT_FALSE(BoxHasButton(box, IDNO));
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(WaitChild(child, 15000), 0);
    CloseHandle(child);
}

TEST(HotkeyRegistration, OverrideIsFormattedWithOneLabelOnly) {
    HANDLE child = StartChild(L"buildmenu",
                              L"<KeyDeputy><设置><名称>KD Override</名称></设置>"
                              L"<语言><热键注册>%s %d %n 失败</热键注册></语言><菜单>"
                              L"<丙 快捷键='Ctrl+Alt'>a</丙></菜单></KeyDeputy>");
    ASSERT_NE(child, nullptr);
    HWND box = WaitForBox(L"KD Override", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), L"丙\tCtrl+Alt %d %n 失败（“Alt”不是按键名）");
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(WaitChild(child, 15000), 0);
    CloseHandle(child);
}

namespace {
int WINAPI RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT style) {
    LogCall(L"box %x %ls", style, text);
    return IDOK;
}
}  // namespace

TEST(HotkeyRegistration, IdentifierPastBfffWarnsInsteadOfRegistering) {
    ImportPatch box{"user32.dll", "MessageBoxW", AsPointer(&RecordBox)};
    ASSERT_TRUE(box.active());
    if (!MainWindow) MainWindow = MakeHotkeyWindow();
    const UINT modifiers = MOD_CONTROL | MOD_SHIFT | MOD_ALT;
    HotkeyRequestList list;
    ASSERT_TRUE(list.push({0xC000, L"甲", L"Ctrl+Shift+Alt+F7", 0, 0, HOTKEY_READABLE}));
    ClearCallLog();
    EXPECT_EQ(RegisterHotkeys(&list, nullptr), 1);
    EXPECT_EQ(CallLogLines(),
              std::vector<std::wstring>{L"box 30 甲\tCtrl+Shift+Alt+F7\t热键注册失败！（菜单项太多，超出可注册的范围）"});
    EXPECT_TRUE(CombinationFree(modifiers, VK_F7));
    UnregisterHotKey(MainWindow, 0xC000);
    list.releaseMemory();

    ASSERT_TRUE(list.push({0xBFFF, L"甲", L"Ctrl+Shift+Alt+F7", 0, 0, HOTKEY_READABLE}));
    ClearCallLog();
    EXPECT_EQ(RegisterHotkeys(&list, nullptr), 0);
    EXPECT_TRUE(CallLogLines().empty());
    EXPECT_FALSE(CombinationFree(modifiers, VK_F7));
    UnregisterHotKey(MainWindow, 0xBFFF);
    list.releaseMemory();
}

TEST(HotkeyRegistration, RefusedEntriesAreMarkedInTheMenu) {
    ImportPatch box{"user32.dll", "MessageBoxW", AsPointer(&RecordBox)};
    ASSERT_TRUE(box.active());
    ClearCallLog();
    HMENU root = Build(L"<KeyDeputy><菜单><工具><甲 快捷键='Ctrl+Alt+J'>a</甲><乙 快捷键='Ctrl+Alt+J'>b</乙></工具>"
                       L"<丙 快捷键='Ctrl+Q+'>c</丙><丁>d</丁></菜单></KeyDeputy>");
    ASSERT_NE(root, nullptr);
    HMENU tray = GetSubMenu(root, 0);
    ASSERT_NE(tray, nullptr);
    HMENU tools = GetSubMenu(tray, 0);
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(ItemText(tools, 0), L"甲\tCtrl+Alt+J");
    EXPECT_EQ(ItemText(tools, 1), L"乙\tCtrl+Alt+J（未注册）");  // inside a submenu too
    EXPECT_EQ(ItemText(tray, 1), L"丙\tCtrl+Q+（未注册）");
    EXPECT_EQ(ItemText(tray, 2), L"丁");
    EXPECT_EQ(CallLogLines().size(), 1u);  // one box for both
    UnregisterAll();
}
