// Editing and reloading the configuration from the menu, a hotkey or a reminder.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "actions/actionHandlers.h"
#include "app/autostart.h"
#include "app/reloadWin.h"
#include "lib/textCopy.h"
#include "platform/systemLibrary.h"

void EditConfiguration() {
    if (!ConfigFilePath) return;
    StartShellCom();
    // "edit" opens the editor for text; "open" could hand an .xml file to a browser.
    SHELLEXECUTEINFOW edit = {};
    edit.cbSize = sizeof edit;
    edit.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    edit.lpVerb = L"edit";
    edit.lpFile = ConfigFilePath;
    edit.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&edit)) return;
    // No edit handler for the type: Notepad is on every system.
    size_t length = TextLength(ConfigFilePath) + 3;
    wchar_t* quoted = static_cast<wchar_t*>(malloc(length * sizeof(wchar_t)));
    if (!quoted) return;
    if (QuoteRunPath(ConfigFilePath, quoted, length))
        ShellExecuteW(nullptr, nullptr, L"notepad.exe", quoted, nullptr, SW_SHOWNORMAL);
    free(quoted);
}

void ReloadConfiguration() { ReloadConfigFile(); }
