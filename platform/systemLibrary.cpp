#include "platform/systemLibrary.h"

#include <objbase.h>

#include <cwchar>

namespace {
const wchar_t* const LIBRARY_NAMES[SYSTEM_LIBRARY_COUNT] = {L"gdiplus.dll", L"winmm.dll", L"comdlg32.dll",
                                                           L"ole32.dll"};
HMODULE KeptLibraries[SYSTEM_LIBRARY_COUNT];
}  // namespace

SystemFunctionFinder FindSystemFunction = FindKeptFunction;

void RestrictLibrarySearch() {
    // Looked up, not imported: Windows 7 without its 2011 loader update lacks it,
    // and the program must still start there.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto restrict = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A loader without the search flags refuses them as a bad parameter. The full
    // path keeps to the system folder there, and the altered search takes the
    // library's own dependencies from that folder too.
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    size_t nameLength = wcslen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    wmemcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC FindKeptFunction(SystemLibrary library, const char* name) {
    int index = int(library);
    if (index < 0 || index >= SYSTEM_LIBRARY_COUNT) return nullptr;
    // A library that could not be loaded is tried again at the next use.
    if (!KeptLibraries[index]) KeptLibraries[index] = LoadSystemLibrary(LIBRARY_NAMES[index]);
    return KeptLibraries[index] ? GetProcAddress(KeptLibraries[index], name) : nullptr;
}

void StartShellCom() {
    static bool started = false;
    if (started) return;
    started = true;
    auto start = KD_SYSTEM_FUNCTION(SystemLibrary::Ole32, CoInitializeEx);
    if (start) start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}
