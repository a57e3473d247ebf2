// KeyDeputyCheck.exe: the checker's Windows platform and console entry point.
// Text goes to a console with WriteConsoleW, so Chinese shows whatever the console's
// code page; redirected to a file or pipe it is written as UTF-8.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "check/checkProgram.h"
#include "lib/textCopy.h"
#include "lib/xmlFile.h"
#include "lib/xmlTextDecodingWin.h"
#include "menu/shellLookupsWin.h"

namespace {

// As the program reads its configuration: _wfopen "rb", one read of the whole file.
XmlError ReadFileWin(const wchar_t* path, unsigned char** bytes, size_t* length, bool* exists) {
    *bytes = nullptr;
    *length = 0;
    DWORD attributes = GetFileAttributesW(path);
    *exists = attributes != INVALID_FILE_ATTRIBUTES;
    return ReadOpenedFile(_wfopen(path, L"rb"), bytes, length);
}

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
void WaitWhenAloneOnConsole() {
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) != 1) return;
    const wchar_t prompt[] = L"\n按回车键关闭……";
    WriteWin(prompt, TextLength(prompt), false);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    wchar_t buffer[64];
    DWORD read;
    ReadConsoleW(input, buffer, 64, &read, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // KeyDeputy.xml beside this program, as KeyDeputy.exe reads it beside itself.
    wchar_t defaultPath[MAX_PATH + 16];
    DWORD length = GetModuleFileNameW(nullptr, defaultPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) length = 0;
    defaultPath[length] = 0;
    while (length > 0 && defaultPath[length - 1] != L'\\' && defaultPath[length - 1] != L'/') --length;
    defaultPath[length] = 0;
    AppendTextCut(defaultPath, sizeof defaultPath / sizeof *defaultPath, L"KeyDeputy.xml");

    const CheckPlatform platform = {ReadFileWin, LooksLikeUtf16, ConvertToUtf16, GetACP(), HotkeyTakenWin, PathMissingWin,
                                    &PlatformShellLookups};
    int32_t code = RunChecker(argc - 1, argv + 1, defaultPath, platform, WriteWin);
    if (ProbeWindow) DestroyWindow(ProbeWindow);
    WaitWhenAloneOnConsole();
    return code;
}
