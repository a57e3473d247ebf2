#pragma once

#include <windows.h>

// The executable's own module: owner of icon "A" and dialogs "101" and "102".
extern HINSTANCE AppInstance;

// Full path of the running executable, however long; the caller frees it with
// free(). Null when the path cannot be read.
wchar_t* ModulePath();
