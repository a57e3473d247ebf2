#include "tests/windows/testSupport.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cwchar>

namespace {
struct ChildRow { const wchar_t* name; ChildEntry entry; };
ChildRow ChildRows[64];
int ChildRowCount = 0;
}  // namespace

ChildMode::ChildMode(const wchar_t* name, ChildEntry entry) {
    if (ChildRowCount < 64) ChildRows[ChildRowCount++] = {name, entry};
}

HANDLE StartChild(const wchar_t* name, const std::wstring& arg, const std::wstring& exe) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = exe.empty() ? std::wstring(self) : exe;
    std::wstring cmd = L"\"" + program + L"\" --child " + name + L" \"" + arg + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int WaitChild(HANDLE process, DWORD timeoutMs) {
    if (!process) return -1;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return int(code);
}

namespace {
struct BoxSearch { const wchar_t* caption; DWORD pid; HWND found; };
BOOL CALLBACK MatchBox(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    wchar_t cls[16], title[512];
    if (!IsWindowVisible(w) || !GetClassNameW(w, cls, 16) || wcscmp(cls, L"#32770") != 0) return TRUE;
    GetWindowTextW(w, title, 512);
    if (wcscmp(title, s->caption) != 0) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace

HWND WaitForBox(const wchar_t* caption, DWORD pid, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        BoxSearch s = {caption, pid, nullptr};
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring BoxText(HWND box) {
    wchar_t text[4096] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 4096);
    return text;
}

bool BoxHasButton(HWND box, int buttonId) { return GetDlgItem(box, buttonId) != nullptr; }

bool AnswerBox(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(50);
    return !IsWindow(box) || !IsWindowVisible(box);
}

std::wstring MakeTempFolder(const wchar_t* tag) {
    static int serial = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring path = std::wstring(base) + L"kdtest_" + tag + L"_" + std::to_wstring(GetCurrentProcessId()) +
                        L"_" + std::to_wstring(++serial);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool WriteBytes(const std::wstring& path, const void* data, size_t size) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    bool ok = size == 0 || fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && wcscmp(argv[1], L"--child") == 0) {
        for (int i = 0; i < ChildRowCount; ++i)
            if (wcscmp(ChildRows[i].name, argv[2]) == 0) return ChildRows[i].entry(argc >= 4 ? argv[3] : L"");
        return 99;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

std::wstring LinuxFilePath(const char* path) {
    std::wstring result = L"Z:";
    for (const char* c = path; *c; ++c) result += *c == '/' ? L'\\' : wchar_t(*c);
    return result;
}
