// kdprobe.dll: loaded by kddriver.exe into the program under test. Wine keeps a
// menu's items in the process that made the menu, and stock icon handles differ
// between processes, so these questions are answered from inside that process.
#include <windows.h>

#include <string>

#include "probeProtocol.h"
#include "textEscape.h"

static HMODULE ProbeModule;

static ProbeBlock* OpenBlock(HANDLE* mapping) {
    wchar_t name[PROBE_NAME_CHARS];
    ProbeBlockName(GetCurrentProcessId(), name);
    *mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (!*mapping) return nullptr;
    void* view = MapViewOfFile(*mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeBlock));
    if (!view) {
        CloseHandle(*mapping);
        return nullptr;
    }
    return static_cast<ProbeBlock*>(view);
}

static void CloseBlock(ProbeBlock* block, HANDLE mapping) {
    UnmapViewOfFile(block);
    CloseHandle(mapping);
}

struct FindMenuWindow {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK FindMenuWindowProc(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindMenuWindow*>(param);
    wchar_t className[32];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
    if (!GetClassNameW(window, className, 32) || lstrcmpW(className, L"#32768") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

static HWND OpenMenuWindow() {
    FindMenuWindow search = {GetCurrentProcessId(), nullptr};
    EnumWindows(FindMenuWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static std::wstring StateNames(UINT state) {
    std::wstring names;
    auto add = [&names](const wchar_t* name) {
        if (!names.empty()) names += L',';
        names += name;
    };
    if (state & MFS_DEFAULT) add(L"default");
    if (state & MF_GRAYED) add(L"grayed");
    if (state & MF_DISABLED) add(L"disabled");
    if (state & MFS_CHECKED) add(L"checked");
    return names.empty() ? L"-" : names;
}

// One line per entry, depth first: path, kind, identifier, states, escaped text.
static void DescribeMenu(HMENU menu, const std::wstring& path, std::wstring& out, int depth) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
        std::wstring itemPath = path.empty() ? std::to_wstring(i) : path + L"/" + std::to_wstring(i);
        bool separator = !info.hSubMenu && (info.fType & MFT_SEPARATOR);
        const wchar_t* kind = info.hSubMenu ? L"popup" : separator ? L"separator" : L"string";
        // Wine marks every separator greyed and disabled itself; that says nothing about the program.
        std::wstring states = separator ? L"-" : StateNames(info.fState);
        out += itemPath + L"\t" + kind + L"\t" + (info.hSubMenu ? std::wstring(L"-") : std::to_wstring(info.wID)) +
               L"\t" + states + L"\t" + EscapeText(text) + L"\n";
        if (info.hSubMenu && depth < 16) DescribeMenu(info.hSubMenu, itemPath, out, depth + 1);
    }
}

static bool AnswerMenu(ProbeBlock* block) {
    HWND window = OpenMenuWindow();
    if (!window) return false;
    DWORD_PTR result = 0;
    HMENU menu = nullptr;
    if (SendMessageTimeoutW(window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) && result)
        menu = reinterpret_cast<HMENU>(result);
    if (!menu) menu = reinterpret_cast<HMENU>(GetWindowLongPtrW(window, 0));
    if (!menu || !IsMenu(menu)) return false;
    std::wstring out;
    DescribeMenu(menu, L"", out, 0);
    lstrcpynW(block->text, out.c_str(), PROBE_TEXT_CHARS);
    return true;
}

static bool AnswerEndMenu() {
    if (!OpenMenuWindow()) return false;
    EndMenu();
    return true;
}

struct FindIconControl {
    HWND found;
};

static BOOL CALLBACK FindIconControlProc(HWND child, LPARAM param) {
    wchar_t className[32];
    if (!GetClassNameW(child, className, 32) || lstrcmpiW(className, L"Static") != 0) return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    reinterpret_cast<FindIconControl*>(param)->found = child;
    return FALSE;
}

static bool AnswerBoxIcon(ProbeBlock* block) {
    HWND box = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(block->window));
    if (!IsWindow(box)) return false;
    FindIconControl search = {nullptr};
    EnumChildWindows(box, FindIconControlProc, reinterpret_cast<LPARAM>(&search));
    const wchar_t* name = L"none";
    if (search.found && IsWindowVisible(search.found)) {
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(search.found, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
        // The message box takes the shared stock icons, the same handles this process gets.
        struct StockIcon {
            LPCWSTR id;
            const wchar_t* name;
        } const stock[] = {{IDI_HAND, L"error"},
                           {IDI_QUESTION, L"question"},
                           {IDI_EXCLAMATION, L"warning"},
                           {IDI_ASTERISK, L"information"}};
        name = icon ? L"other" : L"none";
        for (const StockIcon& s : stock)
            if (icon && reinterpret_cast<HICON>(icon) == LoadIconW(nullptr, s.id)) name = s.name;
    }
    lstrcpynW(block->text, name, PROBE_TEXT_CHARS);
    return true;
}

// Cursor handles are per process too: compared with this process's stock cursors.
static bool AnswerCursor(ProbeBlock* block) {
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    if (!GetCursorInfo(&cursor)) return false;
    const wchar_t* name = cursor.hCursor == LoadCursorW(nullptr, IDC_CROSS)   ? L"cross"
                          : cursor.hCursor == LoadCursorW(nullptr, IDC_ARROW) ? L"arrow"
                                                                              : L"other";
    lstrcpynW(block->text, name, PROBE_TEXT_CHARS);
    return true;
}

extern "C" __declspec(dllexport) DWORD WINAPI ProbeRun(LPVOID) {
    HANDLE mapping = nullptr;
    ProbeBlock* block = OpenBlock(&mapping);
    if (!block) return 1;
    bool answered = false;
    switch (block->request) {
        case PROBE_MENU: answered = AnswerMenu(block); break;
        case PROBE_END_MENU: answered = AnswerEndMenu(); break;
        case PROBE_BOX_ICON: answered = AnswerBoxIcon(block); break;
        case PROBE_CURSOR: answered = AnswerCursor(block); break;
        default: break;
    }
    block->done = answered ? 1 : 2;
    CloseBlock(block, mapping);
    return answered ? 0 : 1;
}

// Only kernel32 work here (the loader lock is held): tell the driver where we are loaded.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    ProbeModule = instance;
    HANDLE mapping = nullptr;
    if (ProbeBlock* block = OpenBlock(&mapping)) {
        block->moduleBase = reinterpret_cast<ULONG64>(ProbeModule);
        CloseBlock(block, mapping);
    }
    return TRUE;
}
