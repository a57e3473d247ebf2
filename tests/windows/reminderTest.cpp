// The timed reminder dialog, driven from outside in a child process. The child
// replaces ExitWindowsEx, so no power operation ever reaches the platform.
#include <gtest/gtest.h>
#include <windows.h>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/mainWindow.h"
#include "app/resourceIds.h"
#include "app/trayIcon.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
constexpr UINT OPEN_REMINDER = WM_APP + 1;
constexpr UINT END_CHILD = WM_APP + 2;
constexpr UINT END_PROGRAM = WM_APP + 3;  // the way out of a confirmed exit
const wchar_t* const DIALOG_CAPTION = L"KeyDeputy定时提醒";
const wchar_t* const BOX_CAPTION = L"KeyDeputy v2.0";
const wchar_t* const BAD_MINUTES = L"您的输入不正确，请重新输入。";

ImportPatch* SetTimerPatch;
ImportPatch* KillTimerPatch;
ImportPatch* BoxPatch;

int WINAPI LoggingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    LogCall(L"MessageBoxW style=%x", style);
    return reinterpret_cast<decltype(&MessageBoxW)>(BoxPatch->original())(owner, text, caption, style);
}

BOOL WINAPI FakeExitWindows(UINT flags, DWORD reason) {
    LogCall(L"ExitWindowsEx %u %lu", flags, reason);
    return TRUE;
}

UINT_PTR WINAPI LoggingSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc) {
    LogCall(L"SetTimer %llu %u %d", (unsigned long long)id, ms, proc != nullptr);
    return reinterpret_cast<decltype(&SetTimer)>(SetTimerPatch->original())(window, id, ms, proc);
}

BOOL WINAPI LoggingKillTimer(HWND window, UINT_PTR id) {
    LogCall(L"KillTimer %llu", (unsigned long long)id);
    return reinterpret_cast<decltype(&KillTimer)>(KillTimerPatch->original())(window, id);
}

BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAW) {
    LogCall(L"Shell_NotifyIconW %lu", message);
    return TRUE;
}

LONG WINAPI FakeChangeDisplay(DEVMODEW* mode, DWORD flags) {
    if (!mode) {
        LogCall(L"ChangeDisplaySettingsW null %lu", flags);
        return DISP_CHANGE_SUCCESSFUL;
    }
    LogCall(L"ChangeDisplaySettingsW %lux%lu %lu", mode->dmPelsWidth, mode->dmPelsHeight, flags);
    return DISP_CHANGE_BADMODE;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == OPEN_REMINDER) {
        // As command dispatch runs it: from the message loop, nested in whatever loop runs now.
        // The dialog is modeless: the handler returns at once.
        ShowTimedReminder();
        LogCall(L"handler returned");
        return 0;
    }
    if (message == END_PROGRAM) {
        EndProgram();
        return 0;
    }
    if (message == END_CHILD) {
        LogCall(L"tray shown %d", TrayIconShown);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

KD_CHILD_MODE(ChildReminder, L"actions-reminder") {
    SetCallLogFile(arg);
    ImportPatch exitWindows("user32.dll", "ExitWindowsEx", AsPointer(&FakeExitWindows));
    if (!exitWindows.active()) return 3;  // never risk a real power operation
    ImportPatch setTimer("user32.dll", "SetTimer", AsPointer(&LoggingSetTimer));
    ImportPatch killTimer("user32.dll", "KillTimer", AsPointer(&LoggingKillTimer));
    ImportPatch tray("shell32.dll", "Shell_NotifyIconW", AsPointer(&FakeShellNotifyIcon));
    ImportPatch display("user32.dll", "ChangeDisplaySettingsW", AsPointer(&FakeChangeDisplay));
    ImportPatch box("user32.dll", "MessageBoxW", AsPointer(&LoggingMessageBox));
    if (!setTimer.active() || !killTimer.active() || !tray.active() || !display.active() || !box.active()) return 4;
    BoxPatch = &box;
    SetTimerPatch = &setTimer;
    KillTimerPatch = &killTimer;
    AppInstance = GetModuleHandleW(nullptr);
    LoadAppCaption();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = AppInstance;
    wc.lpszClassName = L"KdReminderHost";
    RegisterClassW(&wc);
    MainWindow = CreateWindowExW(0, L"KdReminderHost", L"reminder host", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, AppInstance, nullptr);
    FillTrayIcon(false);
    TrayIconShown = true;
    PostMessageW(MainWindow, OPEN_REMINDER, 0, 0);
    MSG msg;
    // A loop like the program's own.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    LogCall(L"loop ended");
    return 0;
}

namespace {
bool WaitUntilHidden(HWND window) {
    for (int i = 0; i < 100; ++i) {
        if (IsWindow(window) && !IsWindowVisible(window)) return true;
        Sleep(30);
    }
    return false;
}

// One child with its reminder host; the first dialog is open once Start succeeds.
class ReminderChild {
public:
    ~ReminderChild() {
        if (process) {
            WaitChild(process, 1);
            CloseHandle(process);
        }
    }

    bool Start() {
        logPath = MakeTempFolder(L"reminder") + L"\\calls.txt";
        process = StartChild(L"actions-reminder", logPath);
        if (!process) return false;
        pid = GetProcessId(process);
        host = FindProcessWindow(pid, L"KdReminderHost", 10000);
        firstDialog = WaitDialog(nullptr);
        return host && firstDialog;
    }

    HWND WaitDialog(HWND notThis) { return WaitForOtherBox(DIALOG_CAPTION, pid, notThis, 10000); }

    HWND OpenAnother(HWND notThis) {
        PostMessageW(host, OPEN_REMINDER, 0, 0);
        return WaitDialog(notThis);
    }

    static void Fill(HWND dialog, const wchar_t* text, const wchar_t* minutes, int radio) {
        SetDlgItemTextW(dialog, IDC_REMINDER_TEXT, text);
        SetDlgItemTextW(dialog, IDC_REMINDER_MINUTES, minutes);
        if (radio) SendDlgItemMessageW(dialog, radio, BM_SETCHECK, BST_CHECKED, 0);
    }

    // OK as the button sends it: WM_COMMAND with wParam exactly IDOK.
    static void PressOk(HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); }

    // The reminder's time is up, without waiting for the timer.
    static void TimeUp(HWND dialog) { PostMessageW(dialog, WM_TIMER, 1, 0); }

    // Return typed in a field; only the dialog manager makes it the OK command.
    static void PressReturn(HWND dialog, int field) {
        HWND control = GetDlgItem(dialog, field);
        PostMessageW(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC01C0001);
    }

    HWND WaitBox(DWORD ms) { return WaitForBox(BOX_CAPTION, pid, ms); }

    std::vector<std::wstring> Log() const { return ReadCallLogFile(logPath); }

    // Asks the host to end the loop; returns the child's exit code.
    int End() {
        PostMessageW(host, END_CHILD, 0, 0);
        int code = WaitChild(process, 15000);
        CloseHandle(process);
        process = nullptr;
        return code;
    }

    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND host = nullptr;
    HWND firstDialog = nullptr;
    std::wstring logPath;
};

// Reads and closes the one box of the child that must be showing now.
std::wstring TakeBox(ReminderChild& child) {
    HWND box = child.WaitBox(10000);
    if (!box) return L"(no box)";
    std::wstring text = BoxText(box);
    EXPECT_TRUE(BoxHasButton(box, IDOK));
    EXPECT_TRUE(AnswerBox(box, IDOK));
    return text;
}
}  // namespace

TEST(TimedReminder, MinutesOutsideOneToADayWarnAndKeepTheDialogOpen) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    for (const wchar_t* minutes : {L"0", L"1441", L"", L"-5"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(minutes)));
        ReminderChild::Fill(dialog, L"喝水", minutes, IDC_POWER_OFF);
        ReminderChild::PressOk(dialog);
        EXPECT_EQ(TakeBox(child), BAD_MINUTES);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_EQ(LogCount(log, L"SetTimer"), 0);
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 0);
}

TEST(TimedReminder, EscapeDoesNothingAndTheCloseBoxEndsWithoutAReminder) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"喝水", L"5", IDC_LOGOFF);
    // In the minutes field Escape arrives as the cancel command; the multi-line
    // text field on its own would close the dialog.
    for (int field : {IDC_REMINDER_MINUTES, IDC_REMINDER_TEXT}) {
        SCOPED_TRACE(field);
        HWND control = GetDlgItem(dialog, field);
        PostMessageW(control, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(control, WM_CHAR, VK_ESCAPE, 0x00010001);
        PostMessageW(control, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        Sleep(500);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    wchar_t text[16] = L"";
    GetDlgItemTextW(dialog, IDC_REMINDER_TEXT, text, 16);
    EXPECT_STREQ(text, L"喝水");
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(30);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(child.End(), 0);
    EXPECT_EQ(child.Log(), (std::vector<std::wstring>{L"handler returned", L"tray shown 1", L"loop ended"}));
}

TEST(TimedReminder, AcceptedMinutesHideTheDialogAndArmTimerOne) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"喝水", L"1440", 0);
    ReminderChild::PressOk(dialog);
    EXPECT_TRUE(WaitUntilHidden(dialog));
    EXPECT_EQ(child.WaitBox(500), nullptr);
    // Ending the program's loop drops the waiting dialog.
    EXPECT_EQ(child.End(), 0);
    EXPECT_EQ(child.Log(), (std::vector<std::wstring>{L"handler returned", L"KillTimer 1", L"SetTimer 1 86400000 0",
                                                      L"tray shown 1", L"loop ended"}));
}

TEST(TimedReminder, ActionNameRunsTheActionAndNoPowerChoice) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"隐藏图标", L"1", IDC_POWER_OFF);
    ReminderChild::PressOk(dialog);
    ASSERT_TRUE(WaitUntilHidden(dialog));
    ReminderChild::TimeUp(dialog);
    EXPECT_EQ(child.WaitBox(1500), nullptr);
    // Its work done, the dialog is destroyed (Wine takes about 2 s).
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_EQ(LogCount(log, L"KillTimer 1"), 2);
    EXPECT_TRUE(LogHas(log, L"Shell_NotifyIconW 2"));  // NIM_DELETE
    EXPECT_TRUE(LogHas(log, L"tray shown 0"));
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 0);
}

TEST(TimedReminder, ResolutionTextChangesTheModeAndNoPowerChoice) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"到点了：分辨率(800,600)", L"3", IDC_RESTART);
    ReminderChild::PressOk(dialog);
    ASSERT_TRUE(WaitUntilHidden(dialog));
    ReminderChild::TimeUp(dialog);
    // The text holds the word but does not begin with it: a refused mode.
    EXPECT_EQ(TakeBox(child), L"分辨率设置失败，已经恢复到默认状态！");
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_TRUE(LogHas(log, L"ChangeDisplaySettingsW null 0"));
    EXPECT_EQ(LogCount(log, L"ChangeDisplaySettingsW 800x600"), 0);
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 0);
}

TEST(TimedReminder, EmptyTextRunsThePowerChoiceAtOnce) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"", L"10", IDC_RESTART);
    ReminderChild::PressOk(dialog);
    ASSERT_TRUE(WaitUntilHidden(dialog));
    ReminderChild::TimeUp(dialog);
    EXPECT_EQ(child.WaitBox(1500), nullptr);
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_TRUE(LogHas(log, L"SetTimer 1 600000 0"));
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 1);
    EXPECT_TRUE(LogHas(log, L"ExitWindowsEx 6 0"));
}

TEST(TimedReminder, PlainTextIsShownBeforeThePowerChoiceRuns) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND dialog = child.firstDialog;
    ReminderChild::Fill(dialog, L"该下班了", L"2", IDC_LOGOFF);
    ReminderChild::PressOk(dialog);
    ASSERT_TRUE(WaitUntilHidden(dialog));
    ReminderChild::TimeUp(dialog);
    HWND box = child.WaitBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), L"该下班了");
    // The log-off waits for the box.
    EXPECT_EQ(LogCount(child.Log(), L"ExitWindowsEx"), 0);
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_TRUE(LogHas(log, L"ExitWindowsEx 4 0"));
    // Seen in front of other windows: MB_OK | MB_SETFOREGROUND | MB_TOPMOST.
    EXPECT_TRUE(LogHas(log, L"MessageBoxW style=50000"));
}

TEST(TimedReminder, EachReminderKeepsItsOwnTextAndChoice) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND first = child.firstDialog;
    ReminderChild::Fill(first, L"第一个提醒", L"5", 0);
    ReminderChild::PressOk(first);
    ASSERT_TRUE(WaitUntilHidden(first));

    HWND second = child.OpenAnother(first);
    ASSERT_NE(second, nullptr);
    ReminderChild::Fill(second, L"第二个提醒", L"7", IDC_POWER_OFF);
    ReminderChild::PressOk(second);
    ASSERT_TRUE(WaitUntilHidden(second));

    // The first one chose no power operation: the second's shutdown must not leak into it.
    ReminderChild::TimeUp(first);
    EXPECT_EQ(TakeBox(child), L"第一个提醒");
    Sleep(300);
    EXPECT_EQ(LogCount(child.Log(), L"ExitWindowsEx"), 0);

    ReminderChild::TimeUp(second);
    EXPECT_EQ(TakeBox(child), L"第二个提醒");
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 1);
    EXPECT_TRUE(LogHas(log, L"ExitWindowsEx 5 0"));
    EXPECT_TRUE(LogHas(log, L"SetTimer 1 300000 0"));
    EXPECT_TRUE(LogHas(log, L"SetTimer 1 420000 0"));
}

TEST(TimedReminder, ReturnInTheMinutesConfirmsInTheLoopAndInsideAnOpenBox) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND first = child.firstDialog;
    ReminderChild::Fill(first, L"喝水", L"5", 0);
    ReminderChild::PressReturn(first, IDC_REMINDER_MINUTES);
    EXPECT_TRUE(WaitUntilHidden(first)) << "Return in the program's own loop";

    // A box's modal loop knows only its own dialog: a reminder opened meanwhile
    // still gets its keys.
    HWND second = child.OpenAnother(first);
    ASSERT_NE(second, nullptr);
    ReminderChild::Fill(second, L"坏", L"0", 0);
    ReminderChild::PressOk(second);
    HWND box = child.WaitBox(10000);
    ASSERT_NE(box, nullptr);
    HWND third = child.OpenAnother(second);
    ASSERT_NE(third, nullptr);
    ReminderChild::Fill(third, L"喝茶", L"7", 0);
    ReminderChild::PressReturn(third, IDC_REMINDER_MINUTES);
    EXPECT_TRUE(WaitUntilHidden(third)) << "Return inside the box's loop";
    EXPECT_TRUE(IsWindowVisible(box));
    // Return in the text field makes a new line there and confirms nothing.
    ReminderChild::PressReturn(second, IDC_REMINDER_TEXT);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(child.End(), 0);
    std::vector<std::wstring> log = child.Log();
    EXPECT_TRUE(LogHas(log, L"SetTimer 1 300000 0"));
    EXPECT_TRUE(LogHas(log, L"SetTimer 1 420000 0"));
    EXPECT_EQ(LogCount(log, L"SetTimer"), 2);
}

TEST(TimedReminder, NothingActsOnceTheProgramIsEnding) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND shown = child.firstDialog;
    ReminderChild::Fill(shown, L"该下班了", L"2", IDC_LOGOFF);
    ReminderChild::PressOk(shown);
    ASSERT_TRUE(WaitUntilHidden(shown));
    HWND waiting = child.OpenAnother(shown);
    ASSERT_NE(waiting, nullptr);
    ReminderChild::Fill(waiting, L"分辨率(800,600)", L"3", 0);
    ReminderChild::PressOk(waiting);
    ASSERT_TRUE(WaitUntilHidden(waiting));

    ReminderChild::TimeUp(shown);
    HWND box = child.WaitBox(10000);
    ASSERT_NE(box, nullptr);
    // The user quits while the text is shown; the other reminder's time comes
    // before the quit request reaches the box's loop.
    PostMessageW(child.host, END_PROGRAM, 0, 0);
    ReminderChild::TimeUp(waiting);
    EXPECT_EQ(WaitChild(child.process, 15000), 0);
    CloseHandle(child.process);
    child.process = nullptr;
    std::vector<std::wstring> log = child.Log();
    EXPECT_EQ(LogCount(log, L"ExitWindowsEx"), 0);
    EXPECT_EQ(LogCount(log, L"ChangeDisplaySettingsW"), 0);
    EXPECT_TRUE(LogHas(log, L"loop ended"));
}

TEST(TimedReminder, LongTextIsCutTo511WithoutPartingAPair) {
    // 510 units, then a surrogate pair on units 510 and 511: keeping 511 would part it.
    std::wstring paired = std::wstring(510, L'a') + L"\xD83D\xDE00" + std::wstring(100, L'b');
    struct Case { std::wstring typed; std::wstring shown; };
    for (const Case& c : {Case{std::wstring(600, L'x'), std::wstring(511, L'x')},
                          Case{paired, std::wstring(510, L'a')}}) {
        ReminderChild child;
        ASSERT_TRUE(child.Start());
        HWND dialog = child.firstDialog;
        ReminderChild::Fill(dialog, c.typed.c_str(), L"1", 0);
        ReminderChild::PressOk(dialog);
        ASSERT_TRUE(WaitUntilHidden(dialog));
        ReminderChild::TimeUp(dialog);
        EXPECT_EQ(TakeBox(child), c.shown);
        EXPECT_EQ(child.End(), 0);
    }
}

// The one test that waits for real time: two one-minute reminders set one after the other.
TEST(TimedReminder, RealTimerFiresAfterAMinuteWithEachText) {
    ReminderChild child;
    ASSERT_TRUE(child.Start());
    HWND first = child.firstDialog;
    DWORD start = GetTickCount();
    ReminderChild::Fill(first, L"开会了", L"1", 0);
    ReminderChild::PressOk(first);
    ASSERT_TRUE(WaitUntilHidden(first));
    HWND second = child.OpenAnother(first);
    ASSERT_NE(second, nullptr);
    ReminderChild::Fill(second, L"喝水了", L"1", 0);
    ReminderChild::PressOk(second);
    ASSERT_TRUE(WaitUntilHidden(second));

    EXPECT_EQ(child.WaitBox(50000), nullptr) << "a box came before the minute was up";
    HWND box = child.WaitBox(40000);
    ASSERT_NE(box, nullptr);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 59000u);
    EXPECT_LE(elapsed, 80000u);
    std::wstring one = BoxText(box);
    EXPECT_TRUE(AnswerBox(box, IDOK));
    std::wstring two = TakeBox(child);
    EXPECT_TRUE((one == L"开会了" && two == L"喝水了") || (one == L"喝水了" && two == L"开会了"))
        << testing::PrintToString(one) << " " << testing::PrintToString(two);
    EXPECT_EQ(child.End(), 0);
    EXPECT_EQ(LogCount(child.Log(), L"ExitWindowsEx"), 0);
}
