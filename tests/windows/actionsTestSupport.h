// Support for the action tests: replacing imported platform calls, a log of what
// the replacements saw (kept in a file so that a child's calls can be read from
// outside), and waiting for a child while this thread's messages keep flowing.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "platform/systemLibrary.h"

// While alive, every call this executable makes to dll!function goes to
// replacement instead. The platform itself is untouched, and so are calls made
// from inside other DLLs.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool active() const { return slotCount > 0; }
    void* original() const { return saved; }

private:
    void** slots[4];
    int slotCount;
    void* saved;
};

// The same for the libraries the product loads at run time: while alive, its look-up
// of library!function gives replacement (null: as if the library were missing), and
// every other look-up goes to the platform as usual.
class SystemFunctionPatch {
public:
    SystemFunctionPatch(SystemLibrary library, const char* function, void* replacement);
    ~SystemFunctionPatch();
    SystemFunctionPatch(const SystemFunctionPatch&) = delete;
    SystemFunctionPatch& operator=(const SystemFunctionPatch&) = delete;

private:
    SystemFunctionFinder previous;
};

template <typename F>
void* AsPointer(F function) {
    return reinterpret_cast<void*>(function);
}

// One line per call seen. When a file is set, each line is also appended to it at once.
void SetCallLogFile(const std::wstring& path);
void LogCall(const wchar_t* format, ...);
void ClearCallLog();
std::vector<std::wstring> CallLogLines();
std::vector<std::wstring> ReadCallLogFile(const std::wstring& path);
bool LogHas(const std::vector<std::wstring>& log, const std::wstring& line);
int LogCount(const std::vector<std::wstring>& log, const std::wstring& prefix);
// Position of the first line equal to line, or -1.
int LogIndex(const std::vector<std::wstring>& log, const std::wstring& line);

// WaitChild that keeps dispatching this thread's messages, so that a child's
// broadcast SendMessage is answered by our windows too.
int WaitChildPumping(HANDLE process, DWORD timeoutMs);
// Dispatches this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);

// A top-level window of a process whose class has this name, or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs);
// The message box of pid with this caption that is not one of the given windows.
HWND WaitForOtherBox(const wchar_t* caption, DWORD pid, HWND notThis, DWORD timeoutMs);
// The button of a message box that has the default-button style, or 0.
int DefaultButton(HWND box);
