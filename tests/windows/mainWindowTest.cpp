// The main window's creation, tray record, menu callbacks and destruction, in-process.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actions/brightnessWin.h"
#include "app/appInstance.h"
#include "app/instanceName.h"
#include "app/lifecycle.h"
#include "app/mainWindow.h"
#include "app/messages.h"
#include "app/reloadWin.h"
#include "app/trayIcon.h"
#include "menu/commandItems.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"

namespace {
HWND CreateMain(const wchar_t* document) {
    if (!UseConfig(document)) return nullptr;
    AppInstance = GetModuleHandleW(nullptr);
    CommandItems.releaseMemory();
    TrayIcon = {};
    ProgramEnding = false;  // an earlier window's destruction ended "the program"
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = MainWindowProc;
    c.hInstance = AppInstance;
    c.lpszClassName = AppCaption;
    RegisterClassExW(&c);
    return CreateWindowExW(0, AppCaption, AppCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AppInstance, nullptr);
}

// Destroys the window and takes away the quit message its destruction posts.
int DestroyMain(HWND window) {
    DestroyWindow(window);
    UnregisterClassW(AppCaption, AppInstance);
    MSG m;
    int quitCode = -1;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_QUIT) quitCode = int(m.wParam);
    for (int id = FIRST_COMMAND_ID; id < FIRST_COMMAND_ID + CommandItems.count; ++id) UnregisterHotKey(window, id);
    return quitCode;
}

std::wstring Repeat(const wchar_t* piece, int times) {
    std::wstring s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
}
}  // namespace

static int RampCalls = 0;
static BOOL WINAPI CountRamp(HDC, LPVOID) {
    ++RampCalls;
    return FALSE;
}

TEST(MainWindow, CreationFillsTheTrayRecordAndDefaultEntry) {
    // The level starts at 100; the screen's ramp, which another program may have set, is left alone.
    ImportPatch ramp{"gdi32.dll", "SetDeviceGammaRamp", AsPointer(&CountRamp)};
    ASSERT_TRUE(ramp.active());
    BrightnessLevel = 130;
    RampCalls = 0;
    HWND window = CreateMain(
        L"<KeyDeputy><设置><名称>KD Main</名称></设置><提示><显示>是</显示><标题>题</标题></提示>"
        L"<菜单><第一 可选='否' 选中='是'>a</第一><第二 选中='是'>b</第二></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MainWindow, window);
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(BrightnessLevel, 100);
    EXPECT_EQ(RampCalls, 0);
    EXPECT_EQ(TrayIcon.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(TrayIcon.hWnd, window);
    EXPECT_EQ(TrayIcon.uID, 1u);
    EXPECT_EQ(TrayIcon.uFlags, 23u);
    EXPECT_EQ(TrayIcon.uCallbackMessage, 1024u);
    EXPECT_NE(TrayIcon.hIcon, nullptr);
    EXPECT_STREQ(TrayIcon.szTip, L"KD Main");
    EXPECT_STREQ(TrayIcon.szInfo, KD_DEFAULT_TIP_TEXT);
    EXPECT_STREQ(TrayIcon.szInfoTitle, L"题");
    EXPECT_EQ(TrayIcon.uTimeout, 3u);
    EXPECT_EQ(TrayIcon.dwInfoFlags, DWORD(NIIF_INFO | NIIF_NOSOUND));

    // The first entry becomes the default one and loses greying and check mark.
    ASSERT_NE(TrayMenu, nullptr);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoW(TrayMenu, 0, TRUE, &info));
    EXPECT_EQ(info.fState, UINT(MFS_DEFAULT));
    ASSERT_TRUE(GetMenuItemInfoW(TrayMenu, 1, TRUE, &info));
    EXPECT_EQ(info.fState, UINT(MFS_CHECKED));
    EXPECT_EQ(DestroyMain(window), 0);
}

TEST(MainWindow, NoBalloonUnlessShowIsExactlyYes) {
    HWND window = CreateMain(L"<KeyDeputy><提示><显示>yes</显示></提示><菜单><a>x</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TrayIcon.uFlags, 7u);
    EXPECT_STREQ(TrayIcon.szTip, KD_DEFAULT_CAPTION);
    DestroyMain(window);
}

TEST(MainWindow, LongTipTextsAreCutWithoutSplittingAPair) {
    // 内容 of 300 characters whose 256th unit starts a surrogate pair.
    std::wstring text = Repeat(L"长", 254) + L"\xD83D\xDE00" + Repeat(L"x", 44);
    std::wstring document = L"<KeyDeputy><提示><内容>" + text + L"</内容><标题>" + Repeat(L"题", 80) +
                            L"</标题></提示><菜单><a>x</a></菜单></KeyDeputy>";
    HWND window = CreateMain(document.c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(std::wstring(TrayIcon.szInfo), Repeat(L"长", 254));
    EXPECT_EQ(std::wstring(TrayIcon.szInfoTitle), Repeat(L"题", 63));
    DestroyMain(window);
}

TEST(MainWindow, ShellRestartAddsTheIconAgainOnlyWhileShown) {
    HWND window = CreateMain(L"<KeyDeputy><提示><显示>是</显示></提示><菜单><a>x</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_EQ(TrayIcon.uFlags, 23u);
    TrayIconShown = false;
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_EQ(TrayIcon.uFlags, 23u) << "a hidden icon stays hidden";
    TrayIconShown = true;
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_EQ(TrayIcon.uFlags, 7u) << "added again, without the balloon";
    DestroyMain(window);
}

TEST(MainWindow, ForeignCommandIdentifiersAreIgnored) {
    HWND window = CreateMain(L"<KeyDeputy><菜单><a>隐藏图标</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(CommandItems.count, 1);
    for (WPARAM id : {WPARAM(0), WPARAM(1023), WPARAM(1025), WPARAM(0x10400), WPARAM(-1)}) {
        SendMessageW(window, WM_COMMAND, id, 0);
        SendMessageW(window, WM_HOTKEY, id, 0);
    }
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(CommandItems.items[0].handler, nullptr);
    SendMessageW(window, WM_HOTKEY, 1024, 0);
    EXPECT_FALSE(TrayIconShown);
    SendMessageW(window, WM_COMMAND, 1024, 0);
    EXPECT_TRUE(TrayIconShown);
    DestroyMain(window);
}

TEST(MainWindow, NoCommandRunsOnceTheProgramIsEnding) {
    HWND window = CreateMain(L"<KeyDeputy><菜单><a>隐藏图标</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    EndProgram();  // the exit action, confirmed; a modal loop still runs
    SendMessageW(window, WM_HOTKEY, 1024, 0);
    EXPECT_TRUE(TrayIconShown) << "the icon would come back after its removal";
    EXPECT_EQ(CommandItems.items[0].handler, nullptr);
    EXPECT_EQ(DestroyMain(window), 0);
}

TEST(MainWindow, DestructionRestoresBrightnessRemovesIconAndQuitsWithZero) {
    HWND window = CreateMain(L"<KeyDeputy><菜单><a>x</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    BrightnessLevel = 130;
    EXPECT_EQ(DestroyMain(window), 0);
    EXPECT_EQ(BrightnessLevel, 100);
}

namespace {
BOOL WINAPI RecordTrackPopupMenu(HMENU, UINT flags, int, int, int, HWND owner, const RECT*) {
    MSG m;
    LogCall(L"menu %x posted=%d", flags, PeekMessageW(&m, owner, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE));
    return TRUE;
}

HWND FilteredWindow;
BOOL WINAPI RecordMessageFilter(HWND window, UINT message, DWORD action, void* info) {
    FilteredWindow = window;
    LogCall(L"filter %u %lu %d", message, action, info != nullptr);
    return TRUE;
}

ImportPatch* LookupPatch;
bool FilterAbsent;
FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)) && !strcmp(name, "ChangeWindowMessageFilterEx")) {
        LogCall(L"lookup user32=%d", module == GetModuleHandleW(L"user32.dll"));
        return FilterAbsent ? nullptr : reinterpret_cast<FARPROC>(AsPointer(&RecordMessageFilter));
    }
    return reinterpret_cast<decltype(&GetProcAddress)>(LookupPatch->original())(module, name);
}
}  // namespace

TEST(MainWindow, TrayMenuIsFollowedByANullMessage) {
    ImportPatch track{"user32.dll", "TrackPopupMenu", AsPointer(&RecordTrackPopupMenu)};
    ASSERT_TRUE(track.active());
    HWND window = CreateMain(L"<KeyDeputy><菜单><a>x</a></菜单></KeyDeputy>");
    ASSERT_NE(window, nullptr);
    MSG m;
    while (PeekMessageW(&m, window, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    }
    ClearCallLog();
    SendMessageW(window, WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"menu 20 posted=0"});
    ASSERT_TRUE(PeekMessageW(&m, window, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
    EXPECT_EQ(m.message, UINT(WM_NULL));
    EXPECT_FALSE(PeekMessageW(&m, window, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE));
    DestroyMain(window);
}

TEST(MainWindow, TaskbarCreatedIsLetThroughTheMessageFilter) {
    // Wine's user32 has the filter, so the real lookup finds it.
    ASSERT_NE(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx"), nullptr);
    ImportPatch lookup{"kernel32.dll", "GetProcAddress", AsPointer(&FakeGetProcAddress)};
    ASSERT_TRUE(lookup.active());
    LookupPatch = &lookup;
    const std::wstring allowed = L"filter " + std::to_wstring(RegisterWindowMessageW(L"TaskbarCreated")) + L" 1 0";
    // A second start's reload request may come from a process of lower privilege.
    const std::wstring reloadAllowed = L"filter " + std::to_wstring(WM_RELOAD_REQUEST) + L" 1 0";
    const wchar_t* document = L"<KeyDeputy><菜单><a>x</a></菜单></KeyDeputy>";

    FilterAbsent = false;
    FilteredWindow = nullptr;
    ClearCallLog();
    HWND window = CreateMain(document);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"lookup user32=1", allowed, reloadAllowed}));
    EXPECT_EQ(FilteredWindow, window);
    DestroyMain(window);

    // A system without the filter makes the window all the same.
    FilterAbsent = true;
    ClearCallLog();
    window = CreateMain(document);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"lookup user32=1"});
    EXPECT_EQ(TrayIcon.hWnd, window);
    DestroyMain(window);
    LookupPatch = nullptr;
}

namespace {
std::wstring RefusalText, RefusalCaption;
UINT RefusalStyle = 0;
int RefusalBoxes = 0;

HWND WINAPI RefuseCreateWindow(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

int WINAPI RecordRefusalBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    ++RefusalBoxes;
    RefusalText = text ? text : L"";
    RefusalCaption = caption ? caption : L"";
    RefusalStyle = style | (owner ? 0x80000000u : 0);
    return IDOK;
}
}  // namespace

// A window the system refuses ends the start with a message (its override honoured),
// never with a process that has no icon and waits for ever.
TEST(MainWindow, RefusedWindowIsToldAndNothingIsReturned) {
    ImportPatch create{"user32.dll", "CreateWindowExW", AsPointer(&RefuseCreateWindow)};
    ImportPatch box{"user32.dll", "MessageBoxW", AsPointer(&RecordRefusalBox)};
    ASSERT_TRUE(create.active() && box.active());
    AppInstance = GetModuleHandleW(nullptr);
    const wchar_t* documents[] = {
        L"<KeyDeputy><设置><名称>KD Refused</名称></设置></KeyDeputy>",
        L"<KeyDeputy><设置><名称>KD Refused</名称></设置><语言><程序窗口>没有窗口</程序窗口></语言></KeyDeputy>",
    };
    const wchar_t* expected[] = {KD_MSG_WINDOW_TEXT, L"没有窗口"};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(UseConfig(documents[i]));
        RefusalBoxes = 0;
        EXPECT_EQ(OpenMainWindow(), nullptr);
        UnregisterClassW(MAIN_WINDOW_CLASS, AppInstance);
        EXPECT_EQ(RefusalBoxes, 1);
        EXPECT_EQ(RefusalText, expected[i]);
        EXPECT_EQ(RefusalCaption, L"KD Refused");
        EXPECT_EQ(RefusalStyle, UINT(MB_TOPMOST | MB_ICONERROR));  // no owner: there is no window
    }
}
