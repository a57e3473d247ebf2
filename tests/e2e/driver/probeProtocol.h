// What kddriver.exe and kdprobe.dll exchange through a named shared memory block.
// The driver creates the block for one target process, loads the probe into that
// process, starts ProbeRun there and reads the answer back.
#pragma once

#include <windows.h>
#include <cwchar>

enum ProbeRequest : DWORD {
    PROBE_MENU = 1,      // describe the popup menu that is open in the process
    PROBE_END_MENU = 2,  // close that menu, as Escape would
    PROBE_BOX_ICON = 3,  // name the stock icon a message box (window) shows
    PROBE_CURSOR = 4,    // name the stock cursor the process shows
};

constexpr DWORD PROBE_BLOCK_SIZE = 256 * 1024;
constexpr DWORD PROBE_TEXT_CHARS = (PROBE_BLOCK_SIZE - 64) / sizeof(wchar_t);

struct ProbeBlock {
    ULONG64 moduleBase;  // written by the probe when it is loaded
    DWORD request;
    DWORD done;          // 1 answered, 2 failed
    ULONG64 window;      // argument of PROBE_BOX_ICON
    wchar_t text[PROBE_TEXT_CHARS];  // the answer, zero-terminated
};

constexpr int PROBE_NAME_CHARS = 64;

// Local\kdprobe-<pid>: one block per target process.
inline void ProbeBlockName(DWORD pid, wchar_t (&name)[PROBE_NAME_CHARS]) {
    swprintf(name, PROBE_NAME_CHARS, L"Local\\kdprobe-%lu", static_cast<unsigned long>(pid));
}
