#include "menu/shellLookupsWin.h"

#include <windows.h>

#include "lib/textCopy.h"

namespace {

PathKind LookPath(void*, const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::None;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

// As the command prompt finds a program: each extension of PATHEXT in turn (added
// only to a name without one), over the platform's search order.
bool SearchProgram(void*, const wchar_t* name, wchar_t* out, size_t capacity) {
    wchar_t extensions[256];
    DWORD length = GetEnvironmentVariableW(L"PATHEXT", extensions, 256);
    if (length == 0 || length >= 256) CopyTextCut(extensions, 256, L".COM;.EXE;.BAT;.CMD");
    wchar_t* extension = extensions;
    for (;;) {
        wchar_t* end = extension;
        while (*end && *end != L';') ++end;
        bool last = *end == 0;
        *end = 0;
        DWORD found = SearchPathW(nullptr, name, *extension ? extension : nullptr, DWORD(capacity), out, nullptr);
        if (found > 0 && found < capacity && LookPath(nullptr, out) == PathKind::File) return true;
        if (last) return false;
        extension = end + 1;
    }
}

bool ReadVariable(void*, const wchar_t* name, wchar_t* out, size_t capacity) {
    DWORD length = GetEnvironmentVariableW(name, out, DWORD(capacity));
    return length > 0 && length < capacity;
}

}  // namespace

const ShellLookups PlatformShellLookups = {nullptr, LookPath, SearchProgram, ReadVariable};
