// Commands that fill the program's own dialogs from outside: the reminder and the
// save dialog. Texts go in with WM_SETTEXT, buttons with posted commands, as the
// Windows tests do in-process.
#include "driverCommands.h"
#include "textEscape.h"

static const wchar_t REMINDER_CAPTION[] = L"KeyDeputy定时提醒";
constexpr int REMINDER_TEXT_ID = 51000;
constexpr int REMINDER_MINUTES_ID = 51001;
constexpr int SAVE_NAME_BOX_ID = 0x47C;
constexpr int SAVE_TYPE_LIST_ID = 0x470;  // cmb1  // cmb13, a ComboBoxEx32 with an Edit inside

static std::vector<HWND> Dialogs(const DriverArgs& args, const wchar_t* caption, bool visible) {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    std::vector<HWND> dialogs;
    for (HWND window : found)
        if ((args.pid == 0 || WindowPid(window) == args.pid) && WindowClass(window) == L"#32770" &&
            WindowTitle(window) == caption && (IsWindowVisible(window) != FALSE) == visible)
            dialogs.push_back(window);
    return dialogs;
}

// reminder set TEXT MINUTES [off|restart|logoff]: fills the open reminder, presses OK
// and waits until it hides. reminder fire: time is up for every hidden reminder.
int CmdReminder(const DriverArgs& args) {
    if (args.words.size() == 1 && args.words[0] == L"state") {
        // The open reminder as its user meets it: where the keys go, which choice is
        // checked, what the text field holds, and its X window for xdotool.
        HWND dialog = nullptr;
        if (!WaitFor(args.timeoutMs, [&] {
                std::vector<HWND> open = Dialogs(args, REMINDER_CAPTION, true);
                return !open.empty() && (dialog = open.front()) != nullptr;
            }))
            return DRIVER_NOT_FOUND;
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
        int focus = thread.hwndFocus && GetParent(thread.hwndFocus) == dialog ? GetDlgCtrlID(thread.hwndFocus) : 0;
        std::wstring checked;
        for (int id = 51003; id <= 51006; ++id)
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) checked += (checked.empty() ? L"" : L",") + std::to_wstring(id);
        wchar_t text[512] = {};
        GetDlgItemTextW(dialog, REMINDER_TEXT_ID, text, 512);
        Print(L"focus=" + std::to_wstring(focus));
        Print(L"checked=" + (checked.empty() ? std::wstring(L"-") : checked));
        Print(L"text=" + EscapeText(text));
        Print(L"xwindow=" + std::to_wstring(reinterpret_cast<ULONG_PTR>(GetPropW(dialog, L"__wine_x11_whole_window"))));
        return DRIVER_OK;
    }
    if (args.words.size() == 1 && args.words[0] == L"fire") {
        std::vector<HWND> waiting = Dialogs(args, REMINDER_CAPTION, false);
        for (HWND dialog : waiting) PostMessageW(dialog, WM_TIMER, 1, 0);
        Print(std::to_wstring(waiting.size()));
        return waiting.empty() ? DRIVER_NOT_FOUND : DRIVER_OK;
    }
    if (args.words.size() < 3 || args.words.size() > 4 || args.words[0] != L"set") return DRIVER_USAGE;
    int radio = 0;
    if (args.words.size() == 4) {
        const std::wstring& choice = args.words[3];
        radio = choice == L"off" ? 51003 : choice == L"restart" ? 51004 : choice == L"logoff" ? 51005 : -1;
        if (radio < 0) return DRIVER_USAGE;
    }
    HWND dialog = nullptr;
    if (!WaitFor(args.timeoutMs, [&] {
            std::vector<HWND> open = Dialogs(args, REMINDER_CAPTION, true);
            return !open.empty() && (dialog = open.front()) != nullptr;
        })) {
        PrintError(L"no open reminder dialog");
        return DRIVER_NOT_FOUND;
    }
    SetDlgItemTextW(dialog, REMINDER_TEXT_ID, args.words[1].c_str());
    SetDlgItemTextW(dialog, REMINDER_MINUTES_ID, args.words[2].c_str());
    if (radio) SendDlgItemMessageW(dialog, radio, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (!WaitFor(args.timeoutMs, [&] { return !IsWindowVisible(dialog); })) {
        PrintError(L"the reminder stayed open");
        return DRIVER_FAILED;
    }
    Print(HandleText(dialog));
    return DRIVER_OK;
}

// save PATH [FILTER]: types PATH into the open save dialog ("另存为"), chooses the
// format FILTER (1 to 5) when given, and presses its OK; save cancel presses its Cancel.
int CmdSave(const DriverArgs& args) {
    ULONG64 filter = 0;
    if (args.words.empty() || args.words.size() > 2) return DRIVER_USAGE;
    if (args.words.size() == 2 && (!ParseNumber(args.words[1], &filter) || filter < 1 || filter > 5))
        return DRIVER_USAGE;
    HWND dialog = nullptr;
    if (!WaitFor(args.timeoutMs, [&] {
            std::vector<HWND> open = Dialogs(args, L"另存为", true);
            return !open.empty() && (dialog = open.front()) != nullptr;
        })) {
        PrintError(L"no save dialog");
        return DRIVER_NOT_FOUND;
    }
    // save cancel: its Cancel instead.
    if (args.words[0] == L"cancel") {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return WaitFor(args.timeoutMs, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ? DRIVER_OK
                                                                                                     : DRIVER_FAILED;
    }
    HWND nameBox = GetDlgItem(dialog, SAVE_NAME_BOX_ID);
    HWND combo = nameBox ? FindWindowExW(nameBox, nullptr, L"ComboBox", nullptr) : nullptr;
    HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit) {
        PrintError(L"no name field in the save dialog");
        return DRIVER_FAILED;
    }
    if (filter) {
        // CBN_SELCHANGE alone is ignored by the dialog; CBN_SELENDOK takes the choice.
        HWND types = GetDlgItem(dialog, SAVE_TYPE_LIST_ID);
        SendMessageW(types, CB_SETCURSEL, WPARAM(filter - 1), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(SAVE_TYPE_LIST_ID, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    }
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.words[0].c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return WaitFor(args.timeoutMs, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ? DRIVER_OK
                                                                                                 : DRIVER_FAILED;
}
