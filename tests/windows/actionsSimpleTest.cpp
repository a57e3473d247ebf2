// The actions that are one request to the system, seen at the calls they make.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/trayIcon.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
// Records the commands that reach it instead of acting on them.
LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APPCOMMAND) {
        LogCall(L"WM_APPCOMMAND %llx %llx", (unsigned long long)wParam, (unsigned long long)lParam);
        return TRUE;
    }
    if (message == WM_SYSCOMMAND && (wParam == SC_MONITORPOWER || wParam == SC_SCREENSAVE)) {
        LogCall(L"WM_SYSCOMMAND %llx %lld", (unsigned long long)wParam, (long long)lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeProbeWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KdActionsProbe";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, L"KdActionsProbe", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Restores the tray globals a test borrows.
struct TrayGlobalsGuard {
    HWND window = MainWindow;
    NOTIFYICONDATAW icon = TrayIcon;
    bool shown = TrayIconShown;
    ~TrayGlobalsGuard() {
        MainWindow = window;
        TrayIcon = icon;
        TrayIconShown = shown;
    }
};

MCIERROR WINAPI FakeMciSendString(LPCWSTR command, LPWSTR buffer, UINT length, HWND callback) {
    LogCall(L"mci '%ls' %d %u %d", command, buffer != nullptr, length, callback != nullptr);
    return 0;
}

void WINAPI FakeShChangeNotify(LONG event, UINT flags, LPCVOID item1, LPCVOID item2) {
    LogCall(L"SHChangeNotify %lx %x %d %d", event, flags, item1 != nullptr, item2 != nullptr);
}

BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    LogCall(L"Shell_NotifyIconW %lu uid=%u own=%d", message, data->uID, data->hWnd == MainWindow);
    if (message == NIM_ADD)
        LogCall(L"add flags=%u callback=%u icon=%d tip='%ls'", data->uFlags, data->uCallbackMessage,
                data->hIcon != nullptr, data->szTip);
    return TRUE;
}

BOOL WINAPI FakeBlockInput(BOOL block) {
    // Whether the power-off broadcast was already posted when input is blocked.
    MSG msg;
    bool posted = PeekMessageW(&msg, nullptr, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE) != 0;
    LogCall(L"BlockInput %d posted-before=%d", block, posted);
    return TRUE;
}
}  // namespace

TEST(ActionsVolume, SendsTheAppCommandsToTheMainWindowAtOnce) {
    TrayGlobalsGuard guard;
    MainWindow = MakeProbeWindow();
    ASSERT_NE(MainWindow, nullptr);
    ClearCallLog();
    VolumeUp();
    // Sent, not posted: the window has it before the action returns.
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"WM_APPCOMMAND 30292 a0000"});
    VolumeDown();
    VolumeMute();
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"WM_APPCOMMAND 30292 a0000", L"WM_APPCOMMAND 30292 90000",
                                                         L"WM_APPCOMMAND 200eb0 80000"}));
    DestroyWindow(MainWindow);
}

TEST(ActionsCdDoor, SendsTheDoorStringsWithoutBufferOrCallback) {
    SystemFunctionPatch patch(SystemLibrary::Winmm, "mciSendStringW", AsPointer(&FakeMciSendString));
    ClearCallLog();
    OpenCdDoor();
    CloseCdDoor();
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"mci 'set CDAudio door open' 0 0 0",
                                                         L"mci 'set CDAudio door closed' 0 0 0"}));
}

TEST(ActionsCdDoor, WithoutADriveReturnsQuietly) {
    // Wine has no CD audio device here: the real call must neither hang nor ask anything.
    OpenCdDoor();
    CloseCdDoor();
    EXPECT_EQ(WaitForBox(AppCaption, GetCurrentProcessId(), 300), nullptr);
}

TEST(ActionsCdDoor, WithoutWinmmDoesNothing) {
    SystemFunctionPatch missing(SystemLibrary::Winmm, "mciSendStringW", nullptr);
    OpenCdDoor();
    CloseCdDoor();
    EXPECT_EQ(WaitForBox(AppCaption, GetCurrentProcessId(), 300), nullptr);
}

TEST(ActionsRebuildIcons, FlushesAnAssociationChange) {
    ImportPatch patch("shell32.dll", "SHChangeNotify", AsPointer(&FakeShChangeNotify));
    ASSERT_TRUE(patch.active());
    ClearCallLog();
    RebuildIcons();
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"SHChangeNotify 8000000 1000 0 0"});
}

TEST(ActionsTrayToggle, HidesThenShowsWithTheCaptionAndNoBalloon) {
    TrayGlobalsGuard guard;
    ImportPatch patch("shell32.dll", "Shell_NotifyIconW", AsPointer(&FakeShellNotifyIcon));
    ASSERT_TRUE(patch.active());
    AppInstance = GetModuleHandleW(nullptr);
    LoadAppCaption();
    MainWindow = MakeProbeWindow();
    FillTrayIcon(true);  // the first add carried the balloon
    TrayIcon.hWnd = nullptr;
    TrayIcon.uID = 0;
    TrayIconShown = true;
    ClearCallLog();

    ToggleTrayIcon();
    EXPECT_FALSE(TrayIconShown);
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"Shell_NotifyIconW 2 uid=1 own=1"});

    ClearCallLog();
    ToggleTrayIcon();
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"Shell_NotifyIconW 0 uid=1 own=1",
                                                         L"add flags=7 callback=1024 icon=1 tip='KeyDeputy v2.0'"}));
    DestroyWindow(MainWindow);
}

TEST(ActionsTrayToggle, FlagFollowsEvenWhenTheShellRefuses) {
    TrayGlobalsGuard guard;
    struct Refuse {
        static BOOL WINAPI Call(DWORD, PNOTIFYICONDATAW) { return FALSE; }
    };
    ImportPatch patch("shell32.dll", "Shell_NotifyIconW", AsPointer(&Refuse::Call));
    ASSERT_TRUE(patch.active());
    TrayIconShown = true;
    ToggleTrayIcon();
    EXPECT_FALSE(TrayIconShown);
    ToggleTrayIcon();
    EXPECT_TRUE(TrayIconShown);
}

KD_CHILD_MODE(ChildMonitorOff, L"actions-monitoroff") {
    SetCallLogFile(arg);
    ImportPatch block("user32.dll", "BlockInput", AsPointer(&FakeBlockInput));
    if (!block.active()) return 2;
    HWND probe = MakeProbeWindow();
    MonitorOff();
    PumpFor(500);
    DestroyWindow(probe);
    return 0;
}

TEST(ActionsMonitorOff, PostsThePowerOffBroadcastThenBlocksInput) {
    std::wstring log = MakeTempFolder(L"monitoroff") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-monitoroff", log);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitChildPumping(child, 20000), 0);
    CloseHandle(child);
    EXPECT_EQ(ReadCallLogFile(log), (std::vector<std::wstring>{L"BlockInput 1 posted-before=1",
                                                               L"WM_SYSCOMMAND f170 2"}));
}

KD_CHILD_MODE(ChildScreenSaver, L"actions-screensaver") {
    SetCallLogFile(arg);
    HWND probe = MakeProbeWindow();
    StartScreenSaver();
    LogCall(L"returned");
    DestroyWindow(probe);
    return 0;
}

TEST(ActionsScreenSaver, BroadcastIsSentAndReturns) {
    std::wstring log = MakeTempFolder(L"screensaver") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-screensaver", log);
    ASSERT_NE(child, nullptr);
    // The broadcast also reaches this process's windows, so keep answering while waiting.
    EXPECT_EQ(WaitChildPumping(child, 20000), 0);
    CloseHandle(child);
    // Sent, not posted: the window had it before the call returned.
    EXPECT_EQ(ReadCallLogFile(log), (std::vector<std::wstring>{L"WM_SYSCOMMAND f140 0", L"returned"}));
}
