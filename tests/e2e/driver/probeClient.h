// Runs one request of kdprobe.dll inside another process of the prefix.
#pragma once

#include <windows.h>

#include <string>

// Loads kdprobe.dll (beside kddriver.exe) into process pid, runs the request and unloads
// it again. True with the probe's answer; false with a reason in *answer.
bool RunProbe(DWORD pid, DWORD request, HWND window, DWORD timeoutMs, std::wstring* answer);
