// Hiding and showing the tray icon, and leaving the program.
#include <windows.h>

#include "actions/actionHandlers.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/trayIcon.h"

void ToggleTrayIcon() {
    // The flag follows the request whether or not the shell accepted it.
    if (TrayIconShown) {
        RemoveTrayIcon();
        TrayIconShown = false;
    } else {
        AddTrayIconAgain();
        TrayIconShown = true;
    }
}

void ExitProgram() {
    const wchar_t* question = MessageText(KD_MSG_EXIT, KD_MSG_EXIT_TEXT);
    // Only a Yes ends the program: a box that could not be shown is no consent.
    if (MessageBoxW(nullptr, question, AppCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
    EndProgram();
}
