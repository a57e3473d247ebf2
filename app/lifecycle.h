// The program's lifecycle state: its one window and whether it is still starting,
// running or ending. Actions and menu code read it; only start-up and the main
// window write it.
#pragma once

#include <windows.h>

// The hidden main window; null until its creation starts.
extern HWND MainWindow;
// Set once the window's creation has finished (menu built, icon added); commands
// that arrive earlier, from a warning box's loop inside creation, are dropped.
extern bool MainWindowReady;
// Set by EndProgram: from then on no command and no reminder acts any more.
extern bool ProgramEnding;

// The way out, on window destruction and on a confirmed exit: identity gamma ramp,
// icon removed (whether shown or not), quit message with code 0.
void EndProgram();
