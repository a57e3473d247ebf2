// Commands that look at and talk to the windows of other processes in the prefix.
#include "driverCommands.h"

#include <functional>

#include "app/instanceName.h"
#include "probeClient.h"
#include "probeProtocol.h"
#include "textEscape.h"

static void ForEachTopWindow(const std::function<void(HWND)>& visit) {
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            (*reinterpret_cast<const std::function<void(HWND)>*>(param))(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

static bool PidMatches(const DriverArgs& args, HWND window) { return args.pid == 0 || WindowPid(window) == args.pid; }

// A visible box with this caption (and, with --text, a text that holds that).
static bool IsBox(const DriverArgs& args, HWND window, const std::wstring& caption) {
    if (!PidMatches(args, window) || !IsWindowVisible(window)) return false;
    if (WindowClass(window) != L"#32770" || WindowTitle(window) != caption) return false;
    return args.text.empty() || WindowTitle(GetDlgItem(window, 0xFFFF)).find(args.text) != std::wstring::npos;
}

int CmdList(const DriverArgs& args) {
    ForEachTopWindow([&](HWND window) {
        if (!PidMatches(args, window)) return;
        std::wstring className = WindowClass(window);
        if (!args.className.empty() && className != args.className) return;
        Print(HandleText(window) + L"\t" + EscapeText(className) + L"\t" + EscapeText(WindowTitle(window)) + L"\t" +
              std::to_wstring(WindowPid(window)) + L"\t" + (IsWindowVisible(window) ? L"1" : L"0"));
    });
    return DRIVER_OK;
}

// ----- message boxes -----

static HWND FindBox(const DriverArgs& args, const std::wstring& caption) {
    HWND found = nullptr;
    ForEachTopWindow([&](HWND window) {
        if (!found && IsBox(args, window, caption)) found = window;
    });
    return found;
}

static HWND WaitBox(const DriverArgs& args, const std::wstring& caption) {
    HWND box = nullptr;
    WaitFor(args.timeoutMs, [&] { return (box = FindBox(args, caption)) != nullptr; });
    return box;
}

static const wchar_t* ButtonName(int id) {
    switch (id) {
        case IDOK: return L"ok";
        case IDCANCEL: return L"cancel";
        case IDABORT: return L"abort";
        case IDRETRY: return L"retry";
        case IDIGNORE: return L"ignore";
        case IDYES: return L"yes";
        case IDNO: return L"no";
        case IDTRYAGAIN: return L"tryagain";
        case IDCONTINUE: return L"continue";
        default: return nullptr;
    }
}

static bool ButtonId(const std::wstring& name, int* id) {
    for (int candidate = 1; candidate <= 11; ++candidate) {
        const wchar_t* known = ButtonName(candidate);
        if (known && name == known) {
            *id = candidate;
            return true;
        }
    }
    ULONG64 number = 0;
    if (!ParseNumber(name, &number)) return false;
    *id = static_cast<int>(number);
    return true;
}

static std::wstring BoxButtons(HWND box) {
    std::wstring names;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) != L"Button" || !IsWindowVisible(child)) continue;
        const wchar_t* name = ButtonName(GetDlgCtrlID(child));
        if (!name) continue;
        if (!names.empty()) names += L',';
        names += name;
    }
    return names.empty() ? L"-" : names;
}

// Wine's message box marks its default button by style; DM_GETDEFID answers IDOK there.
static std::wstring BoxDefault(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) != L"Button" || !IsWindowVisible(child)) continue;
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) continue;
        if (const wchar_t* name = ButtonName(GetDlgCtrlID(child))) return name;
    }
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) && HIWORD(result) == DC_HASDEFID) {
        const wchar_t* name = ButtonName(LOWORD(result));
        if (name) return name;
    }
    return L"-";
}

int CmdBox(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    HWND box = WaitBox(args, args.words[0]);
    if (!box) {
        PrintError(L"no message box captioned " + args.words[0]);
        return DRIVER_NOT_FOUND;
    }
    std::wstring icon;
    if (!RunProbe(WindowPid(box), PROBE_BOX_ICON, box, 5000, &icon)) icon = L"unknown (" + icon + L")";
    bool topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    Print(L"hwnd=" + HandleText(box));
    Print(L"pid=" + std::to_wstring(WindowPid(box)));
    Print(L"text=" + EscapeText(WindowTitle(GetDlgItem(box, 0xFFFF))));
    Print(L"buttons=" + BoxButtons(box));
    Print(L"default=" + BoxDefault(box));
    Print(L"icon=" + icon);
    Print(std::wstring(L"topmost=") + (topmost ? L"1" : L"0"));
    return DRIVER_OK;
}

int CmdBoxes(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    int count = 0;
    ForEachTopWindow([&](HWND window) {
        if (IsBox(args, window, args.words[0])) ++count;
    });
    Print(std::to_wstring(count));
    return DRIVER_OK;
}

int CmdAnswer(const DriverArgs& args) {
    int id = 0;
    if (args.words.size() != 2 || !ButtonId(args.words[1], &id)) return DRIVER_USAGE;
    HWND box = WaitBox(args, args.words[0]);
    if (!box) {
        PrintError(L"no message box captioned " + args.words[0]);
        return DRIVER_NOT_FOUND;
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    if (!WaitFor(args.timeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) {
        PrintError(L"the box stayed open");
        return DRIVER_FAILED;
    }
    return DRIVER_OK;
}

// ----- the program's main window: its own class, the caption as title -----

static std::vector<HWND> MainWindows(const DriverArgs& args, const std::wstring& name) {
    std::vector<HWND> found;
    ForEachTopWindow([&](HWND window) {
        if (PidMatches(args, window) && WindowClass(window) == MAIN_WINDOW_CLASS && WindowTitle(window) == name) found.push_back(window);
    });
    return found;
}

static HWND WaitMain(const DriverArgs& args, const std::wstring& name) {
    HWND window = nullptr;
    WaitFor(args.timeoutMs, [&] {
        std::vector<HWND> found = MainWindows(args, name);
        if (found.empty()) return false;
        window = found.front();
        return true;
    });
    return window;
}

int CmdMain(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    // Print the very list the wait found: a second look can miss a window whose title
    // query timed out while its program was busy, and would print nothing with success.
    std::vector<HWND> found;
    if (!WaitFor(args.timeoutMs, [&] { return !(found = MainWindows(args, args.words[0])).empty(); })) {
        PrintError(L"no main window " + args.words[0]);
        return DRIVER_NOT_FOUND;
    }
    for (HWND window : found)
        Print(HandleText(window) + L"\t" + std::to_wstring(WindowPid(window)) + L"\t" +
              (IsWindowVisible(window) ? L"1" : L"0"));
    return DRIVER_OK;
}

int CmdGone(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    if (!WaitFor(args.timeoutMs, [&] { return MainWindows(args, args.words[0]).empty(); })) {
        PrintError(L"the window is still there: " + args.words[0]);
        return DRIVER_NOT_FOUND;
    }
    return DRIVER_OK;
}

static bool ParseMessage(const std::vector<std::wstring>& words, size_t first, UINT* message, WPARAM* wParam,
                         LPARAM* lParam) {
    ULONG64 values[3] = {};
    for (size_t i = 0; i < 3; ++i)
        if (first + i >= words.size() || !ParseNumber(words[first + i], &values[i])) return false;
    *message = static_cast<UINT>(values[0]);
    *wParam = static_cast<WPARAM>(values[1]);
    *lParam = static_cast<LPARAM>(values[2]);
    return true;
}

static int PostToMain(const DriverArgs& args, const std::wstring& name, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = WaitMain(args, name);
    if (!window) {
        PrintError(L"no main window " + name);
        return DRIVER_NOT_FOUND;
    }
    return PostMessageW(window, message, wParam, lParam) ? DRIVER_OK : DRIVER_FAILED;
}

int CmdPost(const DriverArgs& args) {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    if (args.words.size() != 4 || !ParseMessage(args.words, 1, &message, &wParam, &lParam)) return DRIVER_USAGE;
    return PostToMain(args, args.words[0], message, wParam, lParam);
}

int CmdSend(const DriverArgs& args) {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    if (args.words.size() != 4 || !ParseMessage(args.words, 1, &message, &wParam, &lParam)) return DRIVER_USAGE;
    HWND window = WaitMain(args, args.words[0]);
    if (!window) return DRIVER_NOT_FOUND;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, args.timeoutMs, &result))
        return DRIVER_FAILED;
    Print(std::to_wstring(static_cast<LONG_PTR>(result)));
    return DRIVER_OK;
}

// The shell's tray callback: WM_USER with the mouse message in lParam.
int CmdTray(const DriverArgs& args) {
    if (args.words.size() != 2) return DRIVER_USAGE;
    const std::wstring& button = args.words[1];
    ULONG64 mouse = 0;
    if (button == L"left") mouse = WM_LBUTTONDOWN;
    else if (button == L"right") mouse = WM_RBUTTONDOWN;
    else if (button == L"leftup") mouse = WM_LBUTTONUP;
    else if (button == L"rightup") mouse = WM_RBUTTONUP;
    else if (button == L"double") mouse = WM_LBUTTONDBLCLK;
    else if (button == L"move") mouse = WM_MOUSEMOVE;
    else if (!ParseNumber(button, &mouse)) return DRIVER_USAGE;
    return PostToMain(args, args.words[0], WM_USER, 1, static_cast<LPARAM>(mouse));
}

int CmdCommand(const DriverArgs& args) {
    ULONG64 id = 0;
    if (args.words.size() != 2 || !ParseNumber(args.words[1], &id)) return DRIVER_USAGE;
    return PostToMain(args, args.words[0], WM_COMMAND, static_cast<WPARAM>(id), 0);
}

int CmdBroadcast(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    UINT message = RegisterWindowMessageW(args.words[0].c_str());
    if (!message) return DRIVER_FAILED;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, args.timeoutMs, &result);
    Print(std::to_wstring(message));
    return DRIVER_OK;
}

// ----- the open popup menu -----

static HWND FindMenuWindow(const DriverArgs& args) {
    HWND found = nullptr;
    ForEachTopWindow([&](HWND window) {
        if (!found && PidMatches(args, window) && IsWindowVisible(window) && WindowClass(window) == L"#32768")
            found = window;
    });
    return found;
}

int CmdMenu(const DriverArgs& args) {
    HWND window = nullptr;
    if (!WaitFor(args.timeoutMs, [&] { return (window = FindMenuWindow(args)) != nullptr; })) {
        PrintError(L"no open popup menu");
        return DRIVER_NOT_FOUND;
    }
    std::wstring answer;
    if (!RunProbe(WindowPid(window), PROBE_MENU, window, 5000, &answer)) {
        PrintError(answer);
        return DRIVER_FAILED;
    }
    if (!answer.empty() && answer.back() == L'\n') answer.pop_back();
    Print(answer);
    return DRIVER_OK;
}

int CmdEndMenu(const DriverArgs& args) {
    HWND window = FindMenuWindow(args);
    if (!window) {
        PrintError(L"no open popup menu");
        return DRIVER_NOT_FOUND;
    }
    std::wstring answer;
    if (!RunProbe(WindowPid(window), PROBE_END_MENU, window, 5000, &answer)) {
        PrintError(answer);
        return DRIVER_FAILED;
    }
    return WaitFor(args.timeoutMs, [&] { return FindMenuWindow(args) == nullptr; }) ? DRIVER_OK : DRIVER_FAILED;
}

// ----- tray icons: with no X tray manager, Wine shows its own tray window with one child per icon -----

int CountTrayIcons() {
    int count = 0;
    ForEachTopWindow([&](HWND top) {
        for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsWindowVisible(top) && IsWindowVisible(child) && WindowClass(child) == L"__winex11_tray_icon") ++count;
    });
    return count;
}

int CmdIcons(const DriverArgs& args) {
    if (args.words.size() > 1) return DRIVER_USAGE;
    int count = CountTrayIcons();
    if (args.words.size() == 1) {
        ULONG64 wanted = 0;
        if (!ParseNumber(args.words[0], &wanted)) return DRIVER_USAGE;
        bool reached = WaitFor(args.timeoutMs, [&] { return (count = CountTrayIcons()) == static_cast<int>(wanted); });
        Print(std::to_wstring(count));
        return reached ? DRIVER_OK : DRIVER_NOT_FOUND;
    }
    Print(std::to_wstring(count));
    return DRIVER_OK;
}
