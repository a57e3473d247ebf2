// minimalTray.exe: the floor KeyDeputy's start-up is measured against. It makes the
// platform calls KeyDeputy makes on its way to the tray icon, in the same order, with
// none of our own code in between: the configuration file is read and converted but
// not parsed, and what the configuration would say comes from the command line.
//
//   --caption TEXT      class, title and tip (default "KeyDeputy v2.0")
//   --single            look for a running window of that caption first, end if found
//   --autostart         write the Run value (otherwise it is deleted)
//   --balloon           add the icon with its start-up balloon
//   --menu I,S,P        I string entries, S separators, P submenus
//   --hotkey MOD,VK     one hotkey (MOD_* bits, virtual key), repeatable
//   --timer KIND,MS     after the icon, a periodic timer of one kind: user (SetTimer),
//                       queue (CreateTimerQueueTimer), waitable (SetWaitableTimer),
//                       mm (timeSetEvent); the idle check's proof that it sees timers
//
// It ends on WM_CLOSE like KeyDeputy: the icon is removed and the loop quits.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "app/instanceName.h"
#include "app/resourceIds.h"

namespace {

struct Plan {
    const wchar_t* caption = L"KeyDeputy v2.0";
    bool single = false;
    bool autostart = false;
    bool balloon = false;
    int items = 1, separators = 0, popups = 0;
    POINT hotkeys[64];  // x modifiers, y virtual key
    int hotkeyCount = 0;
    const wchar_t* timerKind = nullptr;
    UINT timerMs = 0;
};

Plan TheRun;
HINSTANCE Instance;
NOTIFYICONDATAW Icon;

bool ReadPair(const wchar_t* text, long* first, long* second) {
    wchar_t* end = nullptr;
    *first = wcstol(text, &end, 0);
    if (!end || *end != L',') return false;
    *second = wcstol(end + 1, &end, 0);
    return end && *end == 0;
}

bool ReadPlan(Plan* plan) {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return false;
    bool ok = true;
    for (int i = 1; i < count && ok; ++i) {
        const wchar_t* word = argv[i];
        const wchar_t* value = i + 1 < count ? argv[i + 1] : nullptr;
        long a = 0, b = 0;
        if (!wcscmp(word, L"--single")) plan->single = true;
        else if (!wcscmp(word, L"--autostart")) plan->autostart = true;
        else if (!wcscmp(word, L"--balloon")) plan->balloon = true;
        else if (!value) ok = false;
        else if (!wcscmp(word, L"--caption")) plan->caption = _wcsdup(argv[++i]);
        else if (!wcscmp(word, L"--menu")) {
            ok = swscanf(argv[++i], L"%d,%d,%d", &plan->items, &plan->separators, &plan->popups) == 3;
        } else if (!wcscmp(word, L"--hotkey")) {
            ok = plan->hotkeyCount < 64 && ReadPair(argv[++i], &a, &b);
            if (ok) plan->hotkeys[plan->hotkeyCount++] = POINT{a, b};
        } else if (!wcscmp(word, L"--timer")) {
            const wchar_t* comma = wcschr(value, L',');
            ok = comma != nullptr;
            if (ok) {
                plan->timerKind = _wcsdup(value);
                const_cast<wchar_t*>(plan->timerKind)[comma - value] = 0;
                plan->timerMs = static_cast<UINT>(wcstoul(comma + 1, nullptr, 10));
            }
            ++i;
        } else ok = false;
    }
    LocalFree(argv);
    return ok;
}

wchar_t* ModuleFile() {
    DWORD size = 256;
    for (;;) {
        auto* buffer = static_cast<wchar_t*>(malloc(size * sizeof(wchar_t)));
        DWORD length = GetModuleFileNameW(Instance, buffer, size);
        if (length > 0 && length < size - 1) return buffer;
        free(buffer);
        if (length == 0 || size > 32768) return nullptr;
        size *= 2;
    }
}

// The same file reads and conversions KeyDeputy's loader makes; the text is thrown away.
void ReadConfigurationText() {
    wchar_t* path = ModuleFile();
    if (!path) return;
    size_t length = wcslen(path);
    if (length >= 3) wcscpy(path + length - 3, L"xml");
    FILE* file = _wfopen(path, L"rb");
    free(path);
    if (!file) return;
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    auto* bytes = static_cast<unsigned char*>(malloc(size_t(size > 0 ? size : 0) + 4));
    size_t got = bytes ? fread(bytes, 1, size_t(size > 0 ? size : 0), file) : 0;
    fclose(file);
    if (got > 0) {
        memset(bytes + got, 0, 4);
        if (!IsTextUnicode(bytes, int(got), nullptr)) {
            bool bom = got >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
            const char* text = reinterpret_cast<const char*>(bytes) + (bom ? 3 : 0);
            int textLength = int(got) - (bom ? 3 : 0);
            UINT codePage = bom ? CP_UTF8 : CP_ACP;
            int units = MultiByteToWideChar(codePage, 0, text, textLength, nullptr, 0);
            auto* wide = static_cast<wchar_t*>(malloc((size_t(units) + 1) * sizeof(wchar_t)));
            if (wide) MultiByteToWideChar(codePage, 0, text, textLength, wide, units);
            free(wide);
        }
    }
    free(bytes);
}

void ApplyAutostart() {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                  KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key);
    if (!key) return;
    if (!TheRun.autostart) {
        RegDeleteValueW(key, TheRun.caption);
    } else if (wchar_t* path = ModuleFile()) {
        RegSetValueExW(key, TheRun.caption, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       DWORD((wcslen(path) + 1) * sizeof(wchar_t)));
        free(path);
    }
    RegCloseKey(key);
}

void CALLBACK QueueTick(void*, BOOLEAN) {}
void CALLBACK MmTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}
HANDLE WaitableTimer;

void StartTimer(HWND window) {
    if (!TheRun.timerKind) return;
    const wchar_t* kind = TheRun.timerKind;
    if (!wcscmp(kind, L"user")) {
        SetTimer(window, 1, TheRun.timerMs, nullptr);
    } else if (!wcscmp(kind, L"queue")) {
        HANDLE timer = nullptr;
        CreateTimerQueueTimer(&timer, nullptr, QueueTick, nullptr, TheRun.timerMs, TheRun.timerMs, 0);
    } else if (!wcscmp(kind, L"waitable")) {
        WaitableTimer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
        LARGE_INTEGER due;
        due.QuadPart = -10000LL * TheRun.timerMs;
        SetWaitableTimer(WaitableTimer, &due, LONG(TheRun.timerMs), nullptr, nullptr, FALSE);
    } else if (!wcscmp(kind, L"mm")) {
        // Loaded only here, so that the start-up measurement sees no extra import.
        using TimeSetEvent = UINT(WINAPI*)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
        HMODULE winmm = LoadLibraryW(L"winmm.dll");
        auto start = winmm ? reinterpret_cast<TimeSetEvent>(reinterpret_cast<void*>(GetProcAddress(winmm, "timeSetEvent")))
                           : nullptr;
        if (start) start(TheRun.timerMs, 10, MmTick, 0, TIME_PERIODIC);
    }
}

void BuildMenu() {
    HMENU root = CreatePopupMenu();
    HMENU top = CreatePopupMenu();
    AppendMenuW(root, MF_POPUP | MF_BYPOSITION, reinterpret_cast<UINT_PTR>(top), L"菜单");
    // Submenus hold the string entries round-robin after the first, which stays at the top.
    HMENU menus[64] = {top};
    int menuCount = 1;
    for (int p = 0; p < TheRun.popups && menuCount < 64; ++p) {
        HMENU popup = CreatePopupMenu();
        AppendMenuW(top, MF_POPUP | MF_BYPOSITION, reinterpret_cast<UINT_PTR>(popup), L"子菜单");
        menus[menuCount++] = popup;
    }
    for (int i = 0; i < TheRun.items; ++i) {
        HMENU into = i == 0 ? top : menus[i % menuCount];
        AppendMenuW(into, MF_STRING, UINT_PTR(1024 + i), L"菜单项\tCtrl+Shift+F1");
    }
    for (int s = 0; s < TheRun.separators; ++s) AppendMenuW(menus[s % menuCount], MF_SEPARATOR, 0, L"");
    HMENU shown = GetSubMenu(root, 0);
    MENUITEMINFOW entry = {};
    entry.cbSize = sizeof entry;
    entry.fMask = MIIM_STATE;
    entry.fState = MFS_DEFAULT;
    SetMenuItemInfoW(shown, 0, TRUE, &entry);
}

void AddIcon(HWND window) {
    Icon.cbSize = sizeof Icon;
    Icon.hWnd = window;
    Icon.uID = 1;
    Icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | (TheRun.balloon ? NIF_INFO : 0);
    Icon.uCallbackMessage = WM_USER;
    Icon.hIcon = LoadIconW(Instance, KD_ICON_NAME);
    lstrcpynW(Icon.szTip, TheRun.caption, ARRAYSIZE(Icon.szTip));
    lstrcpynW(Icon.szInfo, L"KeyDeputy 已启动。单击托盘图标打开菜单，快捷键随时可用。", ARRAYSIZE(Icon.szInfo));
    lstrcpynW(Icon.szInfoTitle, TheRun.caption, ARRAYSIZE(Icon.szInfoTitle));
    Icon.uTimeout = 3;
    Icon.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    Shell_NotifyIconW(NIM_ADD, &Icon);
}

UINT TaskbarCreated;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        TaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
        BuildMenu();
        for (int i = 0; i < TheRun.hotkeyCount; ++i)
            RegisterHotKey(window, int(1024 + i), UINT(TheRun.hotkeys[i].x), UINT(TheRun.hotkeys[i].y));
        AddIcon(window);
        InvalidateRect(window, nullptr, FALSE);
        StartTimer(window);
        return 0;
    case WM_DESTROY:
        Shell_NotifyIconW(NIM_DELETE, &Icon);
        PostQuitMessage(0);
        return 0;
    case WM_USER:
    case WM_TIMER:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Instance = instance;
    if (!ReadPlan(&TheRun)) return 2;
    ReadConfigurationText();
    if (TheRun.single && FindWindowW(MAIN_WINDOW_CLASS, TheRun.caption)) return 0;
    ApplyAutostart();

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    if (!RegisterClassExW(&windowClass)) return 0;
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, TheRun.caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    InvalidateRect(window, nullptr, FALSE);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Gdiplus::GdiplusShutdown(token);
    return int(msg.wParam);
}
