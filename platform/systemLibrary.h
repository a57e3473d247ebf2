// Libraries beyond the platform's core ones (kernel32, user32, gdi32, advapi32,
// shell32, msvcrt, which the program imports): loaded at run time from the system
// folder only, never from the program's folder or the current one, where a file
// dropped beside a portable program would otherwise be taken first.
#pragma once

#include <windows.h>

// Limits every later library search of the process to the system folder. Called
// first thing; where the platform lacks the call, its own order stays.
void RestrictLibrarySearch();

// name (a bare file name) from the system folder only; null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The libraries an action needs, each loaded at its first use and kept for the run.
enum class SystemLibrary { Gdiplus, Winmm, Comdlg32, Ole32 };
constexpr int SYSTEM_LIBRARY_COUNT = 4;

// The entry point name of library, loading the library first if need be; null when
// either is missing, and the feature that asked then does nothing.
FARPROC FindKeptFunction(SystemLibrary library, const char* name);

// Every look-up goes through this pointer (FindKeptFunction), so that tests can put
// recorders in front of the platform.
using SystemFunctionFinder = FARPROC (*)(SystemLibrary library, const char* name);
extern SystemFunctionFinder FindSystemFunction;

// The entry point typed as its declaration in the platform headers, so that name
// and signature cannot drift apart; null as above.
#define KD_SYSTEM_FUNCTION(library, function) \
    reinterpret_cast<decltype(&function)>(reinterpret_cast<void*>(FindSystemFunction(library, #function)))

// Targets handled by shell extensions (and the "edit" verb's handlers) need COM on the
// calling thread. Once a run is enough, and ole32 is loaded only when the shell is first
// asked; without it the shell still opens what it can.
void StartShellCom();
