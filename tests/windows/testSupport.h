// Helpers for the Windows-side tests: child processes and message boxes seen from outside.
#pragma once

#include <windows.h>
#include <string>

// A named entry point run when the test binary is started as
//   kdwintests.exe --child NAME [ARG]
// It returns the child's exit code.
using ChildEntry = int (*)(const wchar_t* arg);
struct ChildMode {
    ChildMode(const wchar_t* name, ChildEntry entry);
};
#define KD_CHILD_MODE(ident, name)                         \
    static int ident(const wchar_t* arg);                  \
    static ChildMode ident##Registration(name, ident);     \
    static int ident([[maybe_unused]] const wchar_t* arg)

// Starts this binary (or a copy of it at exe) in child mode; the process handle
// is returned (close it).
HANDLE StartChild(const wchar_t* name, const std::wstring& arg, const std::wstring& exe = L"");
// Waits for the child to end and returns its exit code, or -1 on time-out (the child is then killed).
int WaitChild(HANDLE process, DWORD timeoutMs);

// A visible top-level dialog-class window (#32770) with this caption, owned by
// process pid (0: any process), polled for up to timeoutMs.
HWND WaitForBox(const wchar_t* caption, DWORD pid, DWORD timeoutMs);
// The text of a message box (its static control 0xFFFF).
std::wstring BoxText(HWND box);
// Presses a button of a box (IDOK, IDYES, IDNO...) and waits until the box is gone.
bool AnswerBox(HWND box, int buttonId);
// Whether box has a child button with this identifier.
bool BoxHasButton(HWND box, int buttonId);

// A fresh empty folder for a test's files; returned without trailing backslash.
std::wstring MakeTempFolder(const wchar_t* tag);
bool WriteBytes(const std::wstring& path, const void* data, size_t size);

// The Windows path of a Linux file under Wine, which maps Z: to the Linux root
// (for the source tree and the build's own files).
std::wstring LinuxFilePath(const char* path);
