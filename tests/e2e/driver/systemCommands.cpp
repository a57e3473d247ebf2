// Commands about hotkeys, the autostart registry key and keyboard focus.
#include <cstring>
#include <cwctype>

#include "driverCommands.h"

// "ctrl+alt+n": modifier words and one key, any letter case. The driver's own small
// reading, deliberately independent of the program's.
static bool ParseCombination(const std::wstring& text, UINT* modifiers, UINT* key) {
    *modifiers = 0;
    *key = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t plus = text.find(L'+', start);
        std::wstring word = text.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
        for (wchar_t& c : word) c = static_cast<wchar_t>(towlower(c));
        struct Named {
            const wchar_t* name;
            UINT key;
        } const names[] = {{L"home", VK_HOME}, {L"end", VK_END}, {L"pgup", VK_PRIOR}, {L"pgdn", VK_NEXT},
                           {L"up", VK_UP},     {L"down", VK_DOWN}, {L"left", VK_LEFT}, {L"right", VK_RIGHT},
                           {L"del", VK_DELETE}, {L"insert", VK_INSERT}, {L"esc", VK_ESCAPE}, {L"space", VK_SPACE},
                           {L"tab", VK_TAB},   {L"prtsc", VK_SNAPSHOT}};
        if (word == L"ctrl") *modifiers |= MOD_CONTROL;
        else if (word == L"alt") *modifiers |= MOD_ALT;
        else if (word == L"shift") *modifiers |= MOD_SHIFT;
        else if (word == L"win") *modifiers |= MOD_WIN;
        else if (word.size() == 1 && iswalnum(word[0])) *key = static_cast<UINT>(towupper(word[0]));
        else if (word.size() >= 2 && word[0] == L'f' && iswdigit(word[1])) *key = VK_F1 - 1 + static_cast<UINT>(_wtoi(word.c_str() + 1));
        else {
            bool known = false;
            for (const Named& n : names)
                if (word == n.name) *key = n.key, known = true;
            if (!known) return false;
        }
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    return *key != 0;
}

// Held by someone else exactly when our own registration is refused.
int CmdHotkey(const DriverArgs& args) {
    UINT modifiers, key;
    if (args.words.size() != 1 || !ParseCombination(args.words[0], &modifiers, &key)) return DRIVER_USAGE;
    if (RegisterHotKey(nullptr, 1, modifiers, key)) {
        UnregisterHotKey(nullptr, 1);
        Print(L"free");
        return DRIVER_NOT_FOUND;
    }
    Print(L"held");
    return DRIVER_OK;
}

// Holds the combinations for --seconds (or until stopped), so that the program is refused them.
// Prints "pressed\tCOMBINATION" for every press that reaches it.
int CmdHold(const DriverArgs& args) {
    if (args.words.empty()) return DRIVER_USAGE;
    int id = 1;
    for (const std::wstring& text : args.words) {
        UINT modifiers, key;
        if (!ParseCombination(text, &modifiers, &key)) return DRIVER_USAGE;
        if (!RegisterHotKey(nullptr, id++, modifiers, key)) {
            PrintError(L"cannot hold " + text);
            return DRIVER_FAILED;
        }
    }
    Print(L"holding");
    // Presses of a held combination come to this thread: report them.
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < args.seconds * 1000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_HOTKEY) Print(L"pressed\t" + args.words[msg.wParam - 1]);
    }
    return DRIVER_OK;
}

static const wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// reg get NAME | reg set NAME DATA | reg del NAME, on HKLM\...\Run in the 64-bit view.
int CmdReg(const DriverArgs& args) {
    if (args.words.size() < 2) return DRIVER_USAGE;
    const std::wstring& verb = args.words[0];
    const std::wstring& name = args.words[1];
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, RUN_KEY, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return DRIVER_FAILED;
    int code = DRIVER_USAGE;
    if (verb == L"get" && args.words.size() == 2) {
        wchar_t data[1024] = {};
        DWORD type = 0, size = sizeof data - sizeof(wchar_t);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
            Print((type == REG_SZ ? L"REG_SZ\t" : L"OTHER\t") + std::wstring(data));
            code = DRIVER_OK;
        } else {
            code = DRIVER_NOT_FOUND;
        }
    } else if (verb == L"set" && args.words.size() == 3) {
        const std::wstring& data = args.words[2];
        code = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS
                   ? DRIVER_OK
                   : DRIVER_FAILED;
    } else if (verb == L"del" && args.words.size() == 2) {
        code = RegDeleteValueW(key, name.c_str()) == ERROR_SUCCESS ? DRIVER_OK : DRIVER_NOT_FOUND;
    }
    RegCloseKey(key);
    return code;
}

static LRESULT CALLBACK FocusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible window of the prefix: key presses on the X display reach Wine only while
// one of its windows has the X focus. It lives for --seconds or until closed.
int CmdWindow(const DriverArgs& args) {
    if (args.words.size() != 1) return DRIVER_USAGE;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FocusWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KdDriverFocus";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, args.words[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  100, 100, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return DRIVER_FAILED;
    SetForegroundWindow(window);
    SetFocus(window);
    PumpMessages(200);
    Print(L"ready\t" + HandleText(window));
    PumpMessages(args.seconds * 1000);
    return DRIVER_OK;
}

// "clipboard": what the clipboard holds, a line each: "text=T", "bitmap=WxH", or
// "empty". "clipboard set T" puts a text there first, as a marker of what was before.
int CmdClipboard(const DriverArgs& args) {
    if (!(args.words.empty() || (args.words.size() == 2 && args.words[0] == L"set"))) return DRIVER_USAGE;
    if (!OpenClipboard(nullptr)) return DRIVER_FAILED;
    if (!args.words.empty()) {
        EmptyClipboard();
        const std::wstring& text = args.words[1];
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (memory) {
            memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        }
    }
    bool any = false;
    if (HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
        Print(L"text=" + std::wstring(static_cast<const wchar_t*>(GlobalLock(text))));
        GlobalUnlock(text);
        any = true;
    }
    BITMAP info;
    if (HANDLE bitmap = GetClipboardData(CF_BITMAP); bitmap && GetObjectW(bitmap, sizeof info, &info)) {
        Print(L"bitmap=" + std::to_wstring(info.bmWidth) + L"x" + std::to_wstring(info.bmHeight));
        any = true;
    }
    if (!any) Print(L"empty");
    CloseClipboard();
    return DRIVER_OK;
}
