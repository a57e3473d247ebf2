#pragma once

#include <windows.h>

extern HMENU TrayMenu;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowTrayMenu(HWND window);
// The way out, on window destruction and on a confirmed exit: identity gamma ramp,
// icon removed (whether shown or not), quit message with code 0.
void EndProgram();
