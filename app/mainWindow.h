#pragma once

#include <windows.h>

extern HMENU TrayMenu;
// Set once the window's creation has finished (menu built, icon added); commands
// that arrive earlier, from a warning box's loop inside creation, are dropped.
extern bool MainWindowReady;
// Set by EndProgram: from then on no command and no reminder acts any more.
extern bool ProgramEnding;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowTrayMenu(HWND window);
// The way out, on window destruction and on a confirmed exit: identity gamma ramp,
// icon removed (whether shown or not), quit message with code 0.
void EndProgram();
