#include "app/autostart.h"

#include <windows.h>
#include <cstdlib>

#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"

static const wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void ApplyAutostart(bool enable) {
    HKEY key = nullptr;
    // Results are not examined: without rights to HKLM nothing happens, silently.
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key);
    if (!enable) {
        if (key) RegDeleteValueW(key, AppCaption);
    } else if (wchar_t* path = ModulePath()) {
        bool write = true;
        if (TextContains(path, L"Temp")) {
            int answer = MessageBoxW(nullptr, MessageText(KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT), AppCaption,
                                     MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);
            write = answer != IDNO;
        }
        if (write && key) {
            DWORD bytes = DWORD((TextLength(path) + 1) * sizeof(wchar_t));
            RegSetValueExW(key, AppCaption, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), bytes);
        }
        free(path);
    }
    if (key) RegCloseKey(key);
}
