// Monitor off and the screen saver: system commands broadcast to the top-level windows.
#include <windows.h>

#include "actions/actionHandlers.h"

void MonitorOff() {
    PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    // Input stays blocked until Ctrl+Alt+Del, so a stray key cannot wake the display.
    BlockInput(TRUE);
}

void StartScreenSaver() {
    SendMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}
