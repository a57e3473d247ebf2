// Leaving the program through the exit action, in a child with its own message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include "actions/actionHandlers.h"
#include "actions/brightnessWin.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/trayIcon.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
constexpr UINT RUN_EXIT = WM_APP + 1;
constexpr UINT_PTR FALLBACK_TIMER = 77;
constexpr int FALLBACK_CODE = 7;

ImportPatch* MessageBoxPatch;
// The box cannot be shown (a caption that breaks it, no desktop): MessageBoxW answers 0.
bool BoxFails = false;

int WINAPI LoggingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    LogCall(L"MessageBoxW owner=%d style=%x caption='%ls'", owner != nullptr, style, caption);
    if (BoxFails) {
        LogCall(L"answer 0");
        return 0;
    }
    auto real = reinterpret_cast<decltype(&MessageBoxW)>(MessageBoxPatch->original());
    int answer = real(owner, text, caption, style);
    LogCall(L"answer %d", answer);
    return answer;
}

BOOL WINAPI FakeSetGammaRamp(HDC, LPVOID ramp) {
    const WORD* entries = static_cast<const WORD*>(ramp);
    LogCall(L"ramp %u %u", entries[1], entries[255]);
    return FALSE;
}

BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    LogCall(L"Shell_NotifyIconW %lu uid=%u own=%d", message, data->uID, data->hWnd == MainWindow);
    return TRUE;
}

LRESULT CALLBACK ExitHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RUN_EXIT) {
        ExitProgram();
        LogCall(L"level %u", BrightnessLevel);
        // A No leaves the loop running: end it after a while with a code of our own.
        SetTimer(window, FALLBACK_TIMER, 2000, nullptr);
        return 0;
    }
    if (message == WM_TIMER && wParam == FALLBACK_TIMER) {
        KillTimer(window, FALLBACK_TIMER);
        LogCall(L"still running");
        PostQuitMessage(FALLBACK_CODE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

static int RunExitChild(const wchar_t* arg) {
    SetCallLogFile(arg);
    ImportPatch box("user32.dll", "MessageBoxW", AsPointer(&LoggingMessageBox));
    ImportPatch gamma("gdi32.dll", "SetDeviceGammaRamp", AsPointer(&FakeSetGammaRamp));
    ImportPatch tray("shell32.dll", "Shell_NotifyIconW", AsPointer(&FakeShellNotifyIcon));
    if (!box.active() || !gamma.active() || !tray.active()) return 90;
    MessageBoxPatch = &box;
    AppInstance = GetModuleHandleW(nullptr);
    LoadAppCaption();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ExitHostProc;
    wc.hInstance = AppInstance;
    wc.lpszClassName = L"KdExitHost";
    RegisterClassW(&wc);
    MainWindow = CreateWindowExW(0, L"KdExitHost", L"exit host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 AppInstance, nullptr);
    FillTrayIcon(false);
    TrayIconShown = false;  // hidden already: exit must remove it all the same
    BrightnessLevel = 106;  // raised twice
    PostMessageW(MainWindow, RUN_EXIT, 0, 0);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    LogCall(L"loop ended %d", int(msg.wParam));
    return int(msg.wParam);
}

KD_CHILD_MODE(ChildExitProgram, L"actions-exit") { return RunExitChild(arg); }
KD_CHILD_MODE(ChildExitWithoutBox, L"actions-exit-nobox") {
    BoxFails = true;
    return RunExitChild(arg);
}

namespace {
struct ExitRun {
    int code;
    std::vector<std::wstring> log;
};

ExitRun RunExit(int answer) {
    std::wstring log = MakeTempFolder(L"exit") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-exit", log);
    EXPECT_NE(child, nullptr);
    HWND box = WaitForBox(L"KeyDeputy v2.0", GetProcessId(child), 10000);
    EXPECT_NE(box, nullptr);
    if (box) {
        EXPECT_EQ(BoxText(box), L"你确认立即退出程序？");
        EXPECT_TRUE(BoxHasButton(box, IDYES));
        EXPECT_TRUE(BoxHasButton(box, IDNO));
        EXPECT_EQ(DefaultButton(box), IDNO);
        EXPECT_TRUE(AnswerBox(box, answer));
    }
    ExitRun run = {WaitChild(child, 15000), {}};
    CloseHandle(child);
    run.log = ReadCallLogFile(log);
    return run;
}
}  // namespace

TEST(ActionsExit, AnsweredNoChangesNothing) {
    ExitRun run = RunExit(IDNO);
    EXPECT_EQ(run.code, FALLBACK_CODE);
    EXPECT_EQ(run.log, (std::vector<std::wstring>{L"MessageBoxW owner=0 style=124 caption='KeyDeputy v2.0'",
                                                  L"answer 7", L"level 106", L"still running", L"loop ended 7"}));
}

TEST(ActionsExit, AnsweredYesResetsTheRampRemovesTheIconAndEndsTheLoopWithZero) {
    ExitRun run = RunExit(IDYES);
    EXPECT_EQ(run.code, 0);
    // Identity ramp first, then the icon goes although it was hidden, then the loop ends.
    EXPECT_EQ(run.log, (std::vector<std::wstring>{L"MessageBoxW owner=0 style=124 caption='KeyDeputy v2.0'",
                                                  L"answer 6", L"ramp 256 65280", L"Shell_NotifyIconW 2 uid=1 own=1",
                                                  L"level 100", L"loop ended 0"}));
}

TEST(ActionsExit, ABoxThatCannotBeShownIsNoConsent) {
    std::wstring log = MakeTempFolder(L"exitnobox") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-exit-nobox", log);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitChild(child, 15000), FALLBACK_CODE) << "the program ended without a Yes";
    CloseHandle(child);
    EXPECT_EQ(ReadCallLogFile(log), (std::vector<std::wstring>{L"MessageBoxW owner=0 style=124 caption='KeyDeputy v2.0'",
                                                             L"answer 0", L"level 106", L"still running",
                                                             L"loop ended 7"}));
}
