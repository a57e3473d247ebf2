// Common pieces of the driver's commands: arguments, output, waiting.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Exit codes of every command.
constexpr int DRIVER_OK = 0;
constexpr int DRIVER_NOT_FOUND = 1;  // the thing waited for did not come (or a check said no)
constexpr int DRIVER_USAGE = 2;
constexpr int DRIVER_FAILED = 3;     // a platform call failed

struct DriverArgs {
    std::vector<std::wstring> words;  // positional arguments after the command name
    DWORD pid = 0;                    // --pid: only windows of this process
    DWORD timeoutMs = 5000;           // --timeout
    DWORD seconds = 60;               // --seconds
    std::wstring className;           // --class
    std::wstring text;                // --text: only message boxes whose text holds this
};

bool ParseDriverArgs(int argc, wchar_t** argv, int first, DriverArgs* args);
// Decimal or 0x-prefixed hexadecimal; false for anything else.
bool ParseNumber(const std::wstring& text, ULONG64* value);

// UTF-8 on standard output, whatever the console code page.
void Print(const std::wstring& line);
void PrintError(const std::wstring& line);

std::wstring WindowClass(HWND window);
std::wstring WindowTitle(HWND window);
DWORD WindowPid(HWND window);
std::wstring HandleText(HWND window);

// Polls condition every 50 ms until it holds or timeoutMs has passed.
template <typename Condition>
bool WaitFor(DWORD timeoutMs, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

// Runs this thread's message loop for up to ms milliseconds (or until WM_QUIT).
bool PumpMessages(DWORD ms);
