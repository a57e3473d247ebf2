// KeyDeputyCheck.exe: the checker's Windows platform and console entry point.
// Text goes to a console with WriteConsoleW, so Chinese shows whatever the console's
// code page; redirected to a file or pipe it is written as UTF-8.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/instanceName.h"
#include "check/checkFileWin.h"
#include "check/checkProgram.h"
#include "lib/textCopy.h"
#include "lib/xmlFile.h"
#include "lib/xmlTextDecodingWin.h"
#include "menu/shellLookupsWin.h"

namespace {

HWND ProbeWindow = nullptr;

// Registers the combination on a message-only window and lets it go at once:
// a refusal means another program holds it now.
bool HotkeyTakenWin(uint32_t modifiers, uint32_t key) {
    if (!ProbeWindow)
        ProbeWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!ProbeWindow) return false;
    const int PROBE_ID = 1;
    if (!RegisterHotKey(ProbeWindow, PROBE_ID, modifiers, key)) return true;
    UnregisterHotKey(ProbeWindow, PROBE_ID);
    return false;
}

bool PathMissingWin(const wchar_t* path) {
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The program's main window has its own class and the caption as title.
bool InstanceRunningWin(const wchar_t* caption) { return FindWindowW(MAIN_WINDOW_CLASS, caption) != nullptr; }

void WriteWin(const wchar_t* text, size_t length, bool toError) {
    HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (handle == INVALID_HANDLE_VALUE || !handle) return;
    DWORD mode;
    DWORD written;
    // A console shows UTF-16 as it is; for files and pipes, UTF-8 in pieces of a bounded size.
    const size_t STEP = 8192;
    for (size_t done = 0; done < length;) {
        size_t take = length - done < STEP ? length - done : STEP;
        // Never split a surrogate pair between two pieces.
        if (take < length - done && take > 0 && text[done + take - 1] >= 0xD800 && text[done + take - 1] <= 0xDBFF)
            --take;
        if (GetConsoleMode(handle, &mode)) {
            WriteConsoleW(handle, text + done, DWORD(take), &written, nullptr);
        } else {
            char bytes[STEP * 3];
            int n = WideCharToMultiByte(CP_UTF8, 0, text + done, int(take), bytes, int(sizeof bytes), nullptr, nullptr);
            if (n > 0) WriteFile(handle, bytes, DWORD(n), &written, nullptr);
        }
        done += take;
    }
}

// Started by a double click, the console closes with the program: wait for Return first.
// Only then: not for a tool reading the JSON, not into a file or pipe, and not from
// an input that is no console, which could keep it waiting for ever.
void WaitWhenAloneOnConsole(bool json) {
    DWORD processes[2];
    DWORD mode;
    if (json || GetConsoleProcessList(processes, 2) != 1) return;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || !GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode))
        return;
    const wchar_t prompt[] = L"\n按回车键关闭……";
    WriteWin(prompt, TextLength(prompt), false);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    wchar_t buffer[64];
    DWORD read;
    ReadConsoleW(input, buffer, 64, &read, nullptr);
}

// KeyDeputy.xml beside this program, as KeyDeputy.exe reads it beside itself, from a
// folder of any length (GetModuleFileNameW cuts silently when the buffer is short).
// Null when memory runs out; the caller frees it.
wchar_t* DefaultConfigPath() {
    const wchar_t NAME[] = L"KeyDeputy.xml";
    const size_t NAME_UNITS = sizeof NAME / sizeof *NAME;
    for (DWORD size = MAX_PATH;; size *= 2) {
        wchar_t* path = static_cast<wchar_t*>(malloc((size + NAME_UNITS) * sizeof(wchar_t)));
        if (!path) return nullptr;
        DWORD length = GetModuleFileNameW(nullptr, path, size);
        if (length >= size - 1 && size < 32768 * 4) {
            free(path);
            continue;
        }
        if (length >= size - 1) length = 0;  // no such path: the name alone, in the current folder
        while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/') --length;
        path[length] = 0;
        AppendTextCut(path, length + NAME_UNITS, NAME);
        return path;
    }
}

bool AskedForJson(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i)
        if (TextEquals(argv[i], L"--json")) return true;
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t* defaultPath = DefaultConfigPath();
    const CheckPlatform platform = {ReadCheckFileWin, LooksLikeUtf16, ConvertToUtf16, GetACP(), HotkeyTakenWin, PathMissingWin,
                                     InstanceRunningWin, &PlatformShellLookups};
    int32_t code = RunChecker(argc - 1, argv + 1, defaultPath ? defaultPath : L"KeyDeputy.xml", platform, WriteWin);
    free(defaultPath);
    if (ProbeWindow) DestroyWindow(ProbeWindow);
    WaitWhenAloneOnConsole(AskedForJson(argc, argv));
    return code;
}
