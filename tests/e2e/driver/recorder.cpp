// kdrecorder.exe: started by the program under test, it writes what it was given into
// NAME.exe.txt beside itself, as UTF-8: "line=" its command line, "folder=" its
// working folder, one line each, and ends.
#include <windows.h>

namespace {
void WriteUtf8(HANDLE file, const wchar_t* text) {
    char buffer[8192];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    DWORD written = 0;
    if (length > 1) WriteFile(file, buffer, DWORD(length - 1), &written, nullptr);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    lstrcpyW(path + length, L".txt");
    wchar_t folder[MAX_PATH];
    if (GetCurrentDirectoryW(MAX_PATH, folder) == 0) folder[0] = 0;
    // Written under another name and renamed, so a reader never sees half a record.
    wchar_t partial[MAX_PATH + 16];
    lstrcpyW(partial, path);
    lstrcatW(partial, L".part");
    HANDLE file = CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    WriteUtf8(file, L"line=");
    WriteUtf8(file, GetCommandLineW());
    WriteUtf8(file, L"\nfolder=");
    WriteUtf8(file, folder);
    WriteUtf8(file, L"\n");
    CloseHandle(file);
    return MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
