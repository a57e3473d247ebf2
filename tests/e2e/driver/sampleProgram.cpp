// "kddriver sample CAPTION FILE": a stand-in tray program with known behaviour, so
// that the driver and the shell library can be checked against something certain.
// Hidden window (KeyDeputy's class, title CAPTION), one tray icon, a menu with a default,
// a greyed, a checked and a submenu entry, and the hotkey Ctrl+Alt+K on entry 1025.
#include "driverCommands.h"

#include <shellapi.h>

#include "app/instanceName.h"

static std::wstring SampleCaption;
static std::wstring SampleFile;
static HMENU SampleMenu;
static NOTIFYICONDATAW SampleIcon;

static void SampleCommand(HWND window, WPARAM id) {
    if (id == 1024 || id == 1025) {
        HANDLE file = CreateFileW(SampleFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[16];
            DWORD written = 0;
            WriteFile(file, text, static_cast<DWORD>(wsprintfA(text, "%u\r\n", static_cast<unsigned>(id))), &written, nullptr);
            CloseHandle(file);
        }
    } else if (id == 1026) {
        MessageBoxW(nullptr, L"line one\nline\ttwo", SampleCaption.c_str(), MB_OK | MB_ICONWARNING);
    } else if (id == 1027) {
        if (MessageBoxW(nullptr, L"quit?", SampleCaption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
            Shell_NotifyIconW(NIM_DELETE, &SampleIcon);
            PostQuitMessage(0);
        }
    }
    (void)window;
}

static LRESULT CALLBACK SampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_USER:
            if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN) {
                POINT cursor;
                GetCursorPos(&cursor);
                SetForegroundWindow(window);
                TrackPopupMenu(SampleMenu, TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
            }
            return 0;
        case WM_COMMAND:
        case WM_HOTKEY:
            SampleCommand(window, wParam);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

int CmdSample(const DriverArgs& args) {
    if (args.words.size() != 2) return DRIVER_USAGE;
    SampleCaption = args.words[0];
    SampleFile = args.words[1];
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = SampleProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    if (!RegisterClassW(&windowClass)) return DRIVER_FAILED;
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, SampleCaption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) return DRIVER_FAILED;
    SampleMenu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(SampleMenu, MF_STRING, 1024, L"First");
    AppendMenuW(SampleMenu, MF_STRING | MF_GRAYED, 1025, L"Grey\tCtrl+Alt+K");
    AppendMenuW(sub, MF_STRING | MF_CHECKED, 1026, L"Warn");
    AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(sub, MF_STRING, 1027, L"Quit");
    AppendMenuW(SampleMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Sub");
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = MFS_DEFAULT;
    SetMenuItemInfoW(SampleMenu, 0, TRUE, &info);
    RegisterHotKey(window, 1025, MOD_CONTROL | MOD_ALT, 'K');
    SampleIcon.cbSize = sizeof SampleIcon;
    SampleIcon.hWnd = window;
    SampleIcon.uID = 1;
    SampleIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    SampleIcon.uCallbackMessage = WM_USER;
    SampleIcon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(SampleIcon.szTip, SampleCaption.c_str(), 128);
    Shell_NotifyIconW(NIM_ADD, &SampleIcon);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
