#include "app/lifecycle.h"

HWND MainWindow = nullptr;
bool MainWindowReady = false;
bool ProgramEnding = false;
