// drain: answers a run of message boxes inside one process, as they come. A program
// that reports hundreds of problems one box at a time would take minutes if every box
// needed a driver start of its own.
#include "driverCommands.h"

#include "textEscape.h"

namespace {

struct BoxSearch {
    const std::wstring* caption;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBoxProc(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    if (search->pid && WindowPid(window) != search->pid) return TRUE;
    if (WindowClass(window) != L"#32770" || WindowTitle(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindBox(const std::wstring& caption, DWORD pid) {
    BoxSearch search = {&caption, pid, nullptr};
    EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The whole text, however long: WindowTitle stops at 4095 characters.
std::wstring FullText(HWND control) {
    DWORD_PTR length = 0;
    if (!control || !SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied < length ? copied : length);
    return text;
}

const struct {
    const wchar_t* name;
    int id;
} BUTTONS[] = {{L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"yes", IDYES}, {L"no", IDNO}};

std::wstring VisibleButtons(HWND box) {
    std::wstring names;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) != L"Button" || !IsWindowVisible(child)) continue;
        std::wstring name = std::to_wstring(GetDlgCtrlID(child));
        for (const auto& button : BUTTONS)
            if (button.id == GetDlgCtrlID(child)) name = button.name;
        if (!names.empty()) names += L',';
        names += name;
    }
    return names.empty() ? L"-" : names;
}

}  // namespace

// drain CAPTION [ok|cancel|yes|no|ID] [--count N] [--pid P] [--timeout MS] [--seconds S]
// Prints "N<TAB>buttons<TAB>text" per box in the order answered, then count=, first=, last=.
// --timeout is the longest wait for the next box, --seconds the whole run.
int CmdDrain(const DriverArgs& args) {
    std::vector<std::wstring> words;
    ULONG64 wanted = 0;
    for (size_t i = 0; i < args.words.size(); ++i) {
        if (args.words[i] == L"--count") {
            if (i + 1 >= args.words.size() || !ParseNumber(args.words[i + 1], &wanted) || wanted == 0)
                return DRIVER_USAGE;
            ++i;
        } else {
            words.push_back(args.words[i]);
        }
    }
    if (words.empty() || words.size() > 2) return DRIVER_USAGE;
    const std::wstring& caption = words[0];
    int answer = IDOK;
    if (words.size() == 2) {
        bool named = false;
        for (const auto& button : BUTTONS)
            if (words[1] == button.name) answer = button.id, named = true;
        ULONG64 number = 0;
        if (!named) {
            if (!ParseNumber(words[1], &number)) return DRIVER_USAGE;
            answer = static_cast<int>(number);
        }
    }

    DWORD start = GetTickCount();
    DWORD totalMs = args.seconds * 1000;
    ULONG64 count = 0;
    std::wstring first, last;
    int code = DRIVER_OK;
    while (wanted == 0 || count < wanted) {
        // Polled often: the next box is usually there within a few milliseconds.
        HWND box = nullptr;
        DWORD waitStart = GetTickCount();
        while (!(box = FindBox(caption, args.pid))) {
            DWORD now = GetTickCount();
            if (now - waitStart >= args.timeoutMs || now - start >= totalMs) break;
            Sleep(2);
        }
        if (!box) {
            if (wanted != 0 || count == 0) code = DRIVER_NOT_FOUND;
            break;
        }
        std::wstring text = EscapeText(FullText(GetDlgItem(box, 0xFFFF)));
        ++count;
        if (count == 1) first = text;
        last = text;
        Print(std::to_wstring(count) + L"\t" + VisibleButtons(box) + L"\t" + text);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        // Never count one box twice: wait until this one has gone before looking again.
        DWORD closeStart = GetTickCount();
        while (IsWindow(box) && IsWindowVisible(box)) {
            if (GetTickCount() - closeStart >= args.timeoutMs) {
                PrintError(L"a box stayed open after the answer");
                code = DRIVER_FAILED;
                break;
            }
            Sleep(1);
        }
        if (code == DRIVER_FAILED) break;
    }
    Print(L"count=" + std::to_wstring(count));
    Print(L"first=" + first);
    Print(L"last=" + last);
    if (code == DRIVER_NOT_FOUND) PrintError(L"fewer boxes came than expected");
    return code;
}
