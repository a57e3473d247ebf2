#include "menu/hotkeyWin.h"

#include <windows.h>

#include "app/configLookup.h"
#include "app/messages.h"
#include "app/lifecycle.h"
#include "menu/hotkey.h"

static_assert(HOTKEY_ALT == MOD_ALT && HOTKEY_CONTROL == MOD_CONTROL && HOTKEY_SHIFT == MOD_SHIFT &&
                  HOTKEY_WIN == MOD_WIN,
              "the reader's modifier flags are the platform's");

void RegisterItemHotkey(const XmlElement& element, const wchar_t* shownText, int32_t identifier) {
    uint32_t modifiers = 0, key = 0;
    bool readable = ReadItemHotkey(element.attributeValue(KD_ATTR_HOTKEY, nullptr), identifier, &modifiers, &key);
    if (readable && RegisterHotKey(MainWindow, identifier, modifiers, key)) return;

    wchar_t message[256];
    FormatHotkeyMessage(MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT), shownText, message, 256);
    MessageBoxW(nullptr, message, AppCaption, MB_OK | MB_ICONWARNING);
}
