#include "app/mainWindow.h"

#include "actions/brightnessWin.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/instanceName.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/reload.h"
#include "app/reloadWin.h"
#include "app/trayIcon.h"
#include "menu/commandItems.h"
#include "menu/dispatchWin.h"

HMENU TrayMenu = nullptr;

// Sent by the shell when its notification area is created again (it restarted):
// the icon must then be added anew or the program has no way in.
static UINT TaskbarCreatedMessage = 0;

// An elevated process gets no message from the shell, which runs with less privilege,
// unless it lets that one in. The filter is there from Windows 7 on; older systems
// have no filter and need nothing.
static void AllowTaskbarCreated(HWND window) {
    using MessageFilterProc = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32 || !TaskbarCreatedMessage) return;
    auto allow = reinterpret_cast<MessageFilterProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    if (!allow) return;
    allow(window, TaskbarCreatedMessage, MSGFLT_ALLOW, nullptr);
    // A second start asks for a reload; it may run with less privilege.
    allow(window, WM_RELOAD_REQUEST, MSGFLT_ALLOW, nullptr);
}

static void CreateMainWindow(HWND window) {
    MainWindow = window;
    BuildTrayMenu();
    ResetBrightnessLevel();
    TrayIconShown = true;
    FillTrayIcon(ConfigFlag(KD_SECTION_TIP, KD_KEY_TIP_SHOW));
    Shell_NotifyIconW(NIM_ADD, &TrayIcon);
    AnnounceMissingMenu();
    InvalidateRect(window, nullptr, FALSE);
    MainWindowReady = true;
}

static bool RegisterMainClass() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExW(&windowClass) != 0;
}

HWND OpenMainWindow() {
    HWND window = nullptr;
    if (RegisterMainClass())
        window = CreateWindowExW(0, MAIN_WINDOW_CLASS, AppCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AppInstance, nullptr);
    if (!window) {
        MessageBoxW(nullptr, MessageText(KD_MSG_WINDOW, KD_MSG_WINDOW_TEXT), AppCaption, MB_TOPMOST | MB_ICONERROR);
        return nullptr;
    }
    InvalidateRect(window, nullptr, FALSE);
    return window;
}

void EndProgram() {
    ProgramEnding = true;
    ResetBrightness();
    RemoveTrayIcon();
    PostQuitMessage(0);
}

// Only identifiers the builder handed out reach dispatch, and only while the program
// runs: before the icon exists an exit would leave it behind, after the end a
// command would act for a program the user has left.
static void DispatchIdentifier(WPARAM identifier) {
    if (!MainWindowReady || ProgramEnding || ConfigReloading) return;
    if (identifier < WPARAM(FIRST_COMMAND_ID)) return;
    WPARAM index = identifier - FIRST_COMMAND_ID;
    if (index >= WPARAM(CommandItems.count)) return;
    // The command runs on its own configuration to its end, whatever a reload
    // chosen meanwhile puts in place.
    uint32_t held = HoldConfig();
    DispatchCommand(int32_t(index));
    ReleaseConfig(held);
}

void ShowTrayMenu(HWND window) {
    if (!TrayMenu) return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    uint32_t held = HoldConfig();
    TrackPopupMenu(TrayMenu, TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
    // A choice from a menu that a reload replaced while it was open names an old item.
    MSG stale;
    if (held != CurrentConfigGeneration())
        while (PeekMessageW(&stale, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        }
    ReleaseConfig(held);
    // Without a message after it, the next tray menu may close as soon as it opens.
    PostMessageW(window, WM_NULL, 0, 0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
        AllowTaskbarCreated(window);
        CreateMainWindow(window);
        return 0;
    case WM_DESTROY:
        EndProgram();
        return 0;
    case WM_COMMAND:
    case WM_HOTKEY:
        DispatchIdentifier(wParam);
        return 0;
    case WM_RELOAD_REQUEST:
        ReloadConfigFile();
        return 0;
    case WM_TRAYNOTIFY:
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN) ShowTrayMenu(window);
        return 0;
    default:
        if (TaskbarCreatedMessage && message == TaskbarCreatedMessage) {
            if (TrayIconShown) AddTrayIconAgain();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
