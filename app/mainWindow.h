#pragma once

#include <windows.h>

extern HMENU TrayMenu;

// Exit code of a start that could not make its window.
constexpr int WINDOW_ERROR_EXIT_CODE = 254;

// Registers the window class under AppCaption and creates the hidden main window.
// When either fails, says so (no owner, topmost) and returns null: a process
// without its window has no icon, no menu and no hotkey, and nothing could end it.
HWND OpenMainWindow();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowTrayMenu(HWND window);
