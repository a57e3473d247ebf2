#include "app/autostartWin.h"

#include <windows.h>
#include <cstdlib>

#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "app/autostart.h"
#include "lib/textCopy.h"

namespace {
const wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const REGSAM RUN_KEY_ACCESS = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

void* OpenRunKey(RunKeyRoot root, bool create) {
    HKEY base = root == RUN_KEY_MACHINE ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    // Without elevation the machine's key refuses write access on Vista and later.
    LSTATUS status = create ? RegCreateKeyExW(base, RUN_KEY, 0, nullptr, 0, RUN_KEY_ACCESS, nullptr, &key, nullptr)
                            : RegOpenKeyExW(base, RUN_KEY, 0, RUN_KEY_ACCESS, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

void SetRunText(void* key, const wchar_t* name, const wchar_t* data) {
    DWORD bytes = DWORD((TextLength(data) + 1) * sizeof(wchar_t));
    RegSetValueExW(static_cast<HKEY>(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
}

void DeleteRunText(void* key, const wchar_t* name) { RegDeleteValueW(static_cast<HKEY>(key), name); }

void CloseRunKey(void* key) { RegCloseKey(static_cast<HKEY>(key)); }

const RunKeyCalls REGISTRY = {OpenRunKey, SetRunText, DeleteRunText, CloseRunKey};

bool ConfirmedOutsideTemp(const wchar_t* path) {
    if (!TextContains(path, L"Temp")) return true;
    int answer = MessageBoxW(nullptr, MessageText(KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT), AppCaption,
                             MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);
    return answer != IDNO;
}
}  // namespace

void ApplyAutostart(bool enable) {
    if (!enable) {
        DeleteRunValue(REGISTRY, AppCaption);
        return;
    }
    wchar_t* path = ModulePath();
    if (!path) return;
    if (ConfirmedOutsideTemp(path)) {
        size_t capacity = TextLength(path) + 3;
        if (wchar_t* command = static_cast<wchar_t*>(malloc(capacity * sizeof(wchar_t)))) {
            if (QuoteRunPath(path, command, capacity)) WriteRunValue(REGISTRY, AppCaption, command);
            free(command);
        }
    }
    free(path);
}
