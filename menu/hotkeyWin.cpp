#include "menu/hotkeyWin.h"

#include "app/configLookup.h"
#include "app/messages.h"
#include "app/lifecycle.h"
#include "lib/textCopy.h"
#include "menu/keyNames.h"

static_assert(HOTKEY_ALT == MOD_ALT && HOTKEY_CONTROL == MOD_CONTROL && HOTKEY_SHIFT == MOD_SHIFT &&
                  HOTKEY_WIN == MOD_WIN,
              "the reader's modifier flags are the platform's");
static_assert(KEY_END == VK_END && KEY_HOME == VK_HOME && KEY_PRIOR == VK_PRIOR && KEY_NEXT == VK_NEXT &&
                  KEY_UP == VK_UP && KEY_DOWN == VK_DOWN && KEY_LEFT == VK_LEFT && KEY_RIGHT == VK_RIGHT &&
                  KEY_SNAPSHOT == VK_SNAPSHOT && KEY_DELETE == VK_DELETE && KEY_INSERT == VK_INSERT &&
                  KEY_ESCAPE == VK_ESCAPE && KEY_SPACE == VK_SPACE && KEY_TAB == VK_TAB,
              "the key-name table's codes are the platform's");
// The reader finds F1 to F9 and F10 to F19 by adding to the digit's code.
static_assert(VK_F1 == L'1' + 0x3F && VK_F9 == L'9' + 0x3F && VK_F10 == L'0' + 0x49 && VK_F19 == L'9' + 0x49,
              "the F-key arithmetic gives the platform's codes");

namespace {

// The entry keeps its shown text, so the user still sees which hotkey was meant.
void MarkRefused(HMENU menu, int32_t identifier) {
    wchar_t text[HOTKEY_MESSAGE_SIZE + 16];
    if (!menu || !GetMenuStringW(menu, UINT(identifier), text, HOTKEY_MESSAGE_SIZE, MF_BYCOMMAND)) return;
    AppendTextCut(text, sizeof text / sizeof *text, HOTKEY_REFUSED_MARK);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    SetMenuItemInfoW(menu, UINT(identifier), FALSE, &info);
}

// The earlier request of the list that already holds this combination, if any.
const HotkeyRequest* Holder(const HotkeyRequestList& list, int32_t index) {
    const HotkeyRequest& request = list.items[index];
    for (int32_t i = 0; i < index; ++i) {
        const HotkeyRequest& earlier = list.items[i];
        if (earlier.outcome == HOTKEY_READABLE && earlier.modifiers == request.modifiers &&
            earlier.key == request.key)
            return &earlier;
    }
    return nullptr;
}

}  // namespace

int32_t RegisteredHotkeyCount = 0;

int32_t RegisterHotkeys(HotkeyRequestList* list, HMENU menu) {
    int32_t refused = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        HotkeyRequest& request = list->items[i];
        request.outcome = ReadItemHotkeyReason(request.text, request.identifier, &request.modifiers, &request.key);
        if (request.outcome == HOTKEY_READABLE &&
            !RegisterHotKey(MainWindow, request.identifier, request.modifiers, request.key))
            request.outcome = Holder(*list, i) ? HOTKEY_DUPLICATE : HOTKEY_HELD;
        if (request.outcome == HOTKEY_READABLE) {
            ++RegisteredHotkeyCount;
            continue;
        }
        MarkRefused(menu, request.identifier);
        ++refused;
    }
    if (refused == 0) return 0;

    // Only the lines the box shows are gathered.
    HotkeyRefusalLine lines[HOTKEY_BOX_LINES];
    int32_t shown = 0;
    for (int32_t i = 0; i < list->count && shown < HOTKEY_BOX_LINES; ++i) {
        const HotkeyRequest& request = list->items[i];
        if (request.outcome == HOTKEY_READABLE) continue;
        const HotkeyRequest* holder = request.outcome == HOTKEY_DUPLICATE ? Holder(*list, i) : nullptr;
        lines[shown++] = {request.label, request.text, request.outcome, holder ? holder->label : nullptr};
    }
    wchar_t message[HOTKEY_BOX_SIZE];
    FormatHotkeyRefusals(MessageText(KD_MSG_HOTKEY, KD_MSG_HOTKEY_TEXT), lines, shown, refused, message,
                         HOTKEY_BOX_SIZE);
    MessageBoxW(nullptr, message, AppCaption, MB_OK | MB_ICONWARNING);
    return refused;
}
