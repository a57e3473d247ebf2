#include "tests/windows/actionsTestSupport.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : slots{}, slotCount(0), saved(nullptr) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        if (_stricmp(reinterpret_cast<char*>(base + desc->Name), dll) != 0) continue;
        DWORD lookup = desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) != 0 || slotCount == 4) continue;
            void** slot = reinterpret_cast<void**>(&bound->u1.Function);
            DWORD old = 0;
            if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) continue;
            saved = *slot;
            *slot = replacement;
            VirtualProtect(slot, sizeof(void*), old, &old);
            slots[slotCount++] = slot;
        }
    }
}

ImportPatch::~ImportPatch() {
    for (int i = 0; i < slotCount; ++i) {
        DWORD old = 0;
        VirtualProtect(slots[i], sizeof(void*), PAGE_READWRITE, &old);
        *slots[i] = saved;
        VirtualProtect(slots[i], sizeof(void*), old, &old);
    }
}

namespace {
struct SystemFunctionReplacement {
    SystemLibrary library;
    const char* function;
    void* replacement;
};
std::vector<SystemFunctionReplacement> SystemReplacements;

FARPROC FindReplacedFunction(SystemLibrary library, const char* name) {
    for (const SystemFunctionReplacement& r : SystemReplacements)
        if (r.library == library && strcmp(r.function, name) == 0)
            return reinterpret_cast<FARPROC>(r.replacement);
    return FindKeptFunction(library, name);
}
}  // namespace

SystemFunctionPatch::SystemFunctionPatch(SystemLibrary library, const char* function, void* replacement)
    : previous(FindSystemFunction) {
    SystemReplacements.push_back({library, function, replacement});
    FindSystemFunction = FindReplacedFunction;
}

SystemFunctionPatch::~SystemFunctionPatch() {
    SystemReplacements.pop_back();
    FindSystemFunction = previous;
}

namespace {
std::vector<std::wstring> Lines;
std::wstring LogFile;
}  // namespace

void SetCallLogFile(const std::wstring& path) {
    LogFile = path;
}

void LogCall(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    _vsnwprintf(line, 1023, format, args);
    va_end(args);
    line[1023] = 0;
    Lines.push_back(line);
    if (LogFile.empty()) return;
    FILE* f = _wfopen(LogFile.c_str(), L"ab");
    if (!f) return;
    fwrite(line, sizeof(wchar_t), wcslen(line), f);
    fwrite(L"\n", sizeof(wchar_t), 1, f);
    fclose(f);
}

void ClearCallLog() {
    Lines.clear();
}

std::vector<std::wstring> CallLogLines() {
    return Lines;
}

std::vector<std::wstring> ReadCallLogFile(const std::wstring& path) {
    std::vector<std::wstring> result;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return result;
    std::wstring current;
    wchar_t c;
    while (fread(&c, sizeof c, 1, f) == 1) {
        if (c == L'\n') {
            result.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    fclose(f);
    return result;
}

bool LogHas(const std::vector<std::wstring>& log, const std::wstring& line) {
    return LogIndex(log, line) >= 0;
}

int LogCount(const std::vector<std::wstring>& log, const std::wstring& prefix) {
    int count = 0;
    for (const std::wstring& line : log)
        if (line.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

int LogIndex(const std::vector<std::wstring>& log, const std::wstring& line) {
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i] == line) return int(i);
    return -1;
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

int WaitChildPumping(HANDLE process, DWORD timeoutMs) {
    if (!process) return -1;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) break;
        DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            return int(code);
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    return -1;
}

namespace {
struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* caption;
    HWND notThis;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    if (w == s->notThis || (s->visibleOnly && !IsWindowVisible(w))) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid) return TRUE;
    wchar_t text[512];
    if (!GetClassNameW(w, text, 512) || wcscmp(text, s->className) != 0) return TRUE;
    if (s->caption) {
        GetWindowTextW(w, text, 512);
        if (wcscmp(text, s->caption) != 0) return TRUE;
    }
    s->found = w;
    return FALSE;
}

HWND Search(WindowSearch s, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        s.found = nullptr;
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}
}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
    return Search({pid, className, nullptr, nullptr, false, nullptr}, timeoutMs);
}

HWND WaitForOtherBox(const wchar_t* caption, DWORD pid, HWND notThis, DWORD timeoutMs) {
    return Search({pid, L"#32770", caption, notThis, true, nullptr}, timeoutMs);
}

int DefaultButton(HWND box) {
    // Wine's message box marks its default button by style, not through DM_SETDEFID.
    const int ids[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
    for (int id : ids) {
        HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
    }
    return 0;
}
