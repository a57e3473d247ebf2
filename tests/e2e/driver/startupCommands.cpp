// "kddriver startup": how long programs take from launch to their tray icon.
#include "driverCommands.h"

#include <shellapi.h>

#include "app/instanceName.h"

namespace {

double MsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::wstring Ms(double ms) {
    wchar_t text[32];
    swprintf(text, 32, L"%.1f", ms);
    return text;
}

// The program's main window, by KeyDeputy's class.
std::vector<HWND> MainWindowsOf(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (WindowPid(window) != s->pid) return TRUE;
            if (WindowClass(window) == MAIN_WINDOW_CLASS) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasTopWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        bool found;
    } search{pid, false};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (WindowPid(window) != s->pid) return TRUE;
            s->found = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Keeps the driver's window answering while it waits (the shell sends to icon owners),
// and waits about a millisecond: a busy loop would take CPU from the program timed.
void PumpBriefly() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

template <typename Condition>
bool PollFor(DWORD timeoutMs, Condition condition) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    while (!condition()) {
        if (MsSince(start) >= timeoutMs) return false;
        PumpBriefly();
    }
    return true;
}

// An icon of the driver's own keeps Wine's tray window shown between runs, as a
// desktop's notification area always is; otherwise every run would also pay for
// mapping that window and every end for unmapping it.
struct Anchor {
    NOTIFYICONDATAW icon = {};
    bool added = false;

    bool Add() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KdDriverAnchor";
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                      windowClass.hInstance, nullptr);
        if (!window) return false;
        icon.cbSize = sizeof icon;
        icon.hWnd = window;
        icon.uID = 1;
        icon.uFlags = NIF_ICON | NIF_TIP;
        icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        lstrcpynW(icon.szTip, L"kddriver", ARRAYSIZE(icon.szTip));
        int before = CountTrayIcons();
        added = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
        return added && PollFor(10000, [&] { return CountTrayIcons() == before + 1; });
    }

    ~Anchor() {
        if (added) Shell_NotifyIconW(NIM_DELETE, &icon);
    }
};

std::wstring FolderOf(const std::wstring& commandLine) {
    std::wstring program;
    if (!commandLine.empty() && commandLine[0] == L'"') program = commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    else program = commandLine.substr(0, commandLine.find(L' '));
    size_t slash = program.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : program.substr(0, slash);
}

struct Launch {
    double processMs = -1, windowMs = -1, iconMs = -1, endMs = -1;
    DWORD exitCode = STILL_ACTIVE;
    std::wstring failure;
};

// One start: launch, wait for the icon, close the main window, wait until the icon and
// the process are gone, so that the next start finds the tray as this one did.
Launch MeasureOnce(const std::wstring& commandLine, DWORD timeoutMs) {
    Launch result;
    int baseline = CountTrayIcons();
    std::wstring folder = FolderOf(commandLine);
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        result.failure = L"CreateProcess failed: " + std::to_wstring(GetLastError());
        return result;
    }
    result.processMs = MsSince(start);
    bool ended = false;
    bool iconSeen = PollFor(timeoutMs, [&] {
        if (result.windowMs < 0 && HasTopWindow(process.dwProcessId)) result.windowMs = MsSince(start);
        if (CountTrayIcons() > baseline) return true;
        ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        return ended;
    });
    if (iconSeen && !ended) {
        result.iconMs = MsSince(start);
        // Window and icon can both come within one poll; the window is there by then.
        if (result.windowMs < 0 && HasTopWindow(process.dwProcessId)) result.windowMs = result.iconMs;
    }
    else if (ended) result.failure = L"the program ended before its icon appeared";
    else result.failure = L"no tray icon within the time-out";

    LARGE_INTEGER closing;
    QueryPerformanceCounter(&closing);
    std::vector<HWND> windows = MainWindowsOf(process.dwProcessId);
    for (HWND window : windows) PostMessageW(window, WM_CLOSE, 0, 0);
    bool gone = PollFor(timeoutMs, [&] {
        return CountTrayIcons() == baseline && WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    });
    if (gone) {
        result.endMs = MsSince(closing);
    } else {
        // Only our own child, and only when it did not end on its own.
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        if (result.failure.empty()) result.failure = windows.empty() ? L"no main window to close" : L"did not end";
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

// startup [--runs N] [--no-anchor] [--timeout MS] COMMANDLINE...: the command lines are
// started in turn, N rounds; one line per start:
//   round, index, CreateProcess return, first top-level window, tray icon, end after
//   WM_CLOSE (all milliseconds from launch, the last from the close), exit code.
int CmdStartup(const DriverArgs& args) {
    int runs = 1;
    bool anchor = true;
    std::vector<std::wstring> commandLines;
    for (size_t i = 0; i < args.words.size(); ++i) {
        const std::wstring& word = args.words[i];
        ULONG64 number = 0;
        if (word == L"--runs") {
            if (i + 1 >= args.words.size() || !ParseNumber(args.words[i + 1], &number) || number == 0) return DRIVER_USAGE;
            runs = int(number);
            ++i;
        } else if (word == L"--no-anchor") {
            anchor = false;
        } else {
            commandLines.push_back(word);
        }
    }
    if (commandLines.empty()) return DRIVER_USAGE;
    Anchor tray;
    if (anchor && !tray.Add()) {
        PrintError(L"the driver's own tray icon did not appear");
        return DRIVER_FAILED;
    }
    Print(L"#round\tindex\tprocess_ms\twindow_ms\ticon_ms\tend_ms\texit");
    int code = DRIVER_OK;
    for (int round = 1; round <= runs; ++round) {
        for (size_t index = 0; index < commandLines.size(); ++index) {
            Launch launch = MeasureOnce(commandLines[index], args.timeoutMs);
            Print(std::to_wstring(round) + L"\t" + std::to_wstring(index) + L"\t" + Ms(launch.processMs) + L"\t" +
                  Ms(launch.windowMs) + L"\t" + Ms(launch.iconMs) + L"\t" + Ms(launch.endMs) + L"\t" +
                  std::to_wstring(launch.exitCode));
            if (!launch.failure.empty()) {
                PrintError(commandLines[index] + L": " + launch.failure);
                code = DRIVER_NOT_FOUND;
            }
        }
    }
    return code;
}
