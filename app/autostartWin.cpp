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

bool HoldsRunText(RunKeyRoot root, const wchar_t* name, const wchar_t* data) {
    HKEY base = root == RUN_KEY_MACHINE ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const DWORD FLAGS = RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY;
    DWORD bytes = 0;
    if (RegGetValueW(base, RUN_KEY, name, FLAGS, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return false;
    if (!data) return true;
    // One unit more than the expected text: a longer value cannot pass for it.
    size_t capacity = TextLength(data) + 2;
    if (bytes > capacity * sizeof(wchar_t)) return false;
    wchar_t* text = static_cast<wchar_t*>(malloc(capacity * sizeof(wchar_t)));
    if (!text) return false;
    bytes = DWORD(capacity * sizeof(wchar_t));
    bool same = RegGetValueW(base, RUN_KEY, name, FLAGS, nullptr, text, &bytes) == ERROR_SUCCESS &&
                TextEqualsIgnoreAsciiCase(text, data);
    free(text);
    return same;
}

const RunKeyCalls REGISTRY = {OpenRunKey, SetRunText, DeleteRunText, CloseRunKey, HoldsRunText};

bool ConfirmedOutsideTemp(const wchar_t* path) {
    if (!TextContains(path, L"Temp")) return true;
    int answer = MessageBoxW(nullptr, MessageText(KD_MSG_AUTOSTART, KD_MSG_AUTOSTART_TEXT), AppCaption,
                             MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);
    return answer != IDNO;
}
}  // namespace

void ApplyAutostart(bool enable) {
    if (!enable) {
        // Said at every start until an elevated run removes it, or it starts the program regardless.
        if (DeleteRunValue(REGISTRY, AppCaption))
            MessageBoxW(nullptr, MessageText(KD_MSG_AUTOSTART_LEFT, KD_MSG_AUTOSTART_LEFT_TEXT), AppCaption,
                        MB_OK | MB_ICONWARNING);
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
