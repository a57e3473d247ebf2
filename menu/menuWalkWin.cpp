#include "menu/menuWalkWin.h"

#include "app/messages.h"
#include "menu/hotkeyWin.h"
#include "menu/menuWalk.h"

static_assert(MENU_STRING == MF_STRING && MENU_GRAYED == MF_GRAYED && MENU_CHECKED == MF_CHECKED,
              "the walk's entry flags are the platform's");

// The walk decides what each element becomes; these put it into real menus.
static void* CreatePopupForWalk(void*) { return CreatePopupMenu(); }

static void AppendPopupForWalk(void*, void* parentMenu, void* popup, const wchar_t* text) {
    AppendMenuW(static_cast<HMENU>(parentMenu), MF_POPUP | MF_BYPOSITION, reinterpret_cast<UINT_PTR>(popup), text);
}

static void AppendSeparatorForWalk(void*, void* parentMenu) {
    AppendMenuW(static_cast<HMENU>(parentMenu), MF_SEPARATOR, 0, L"");
}

static void AppendItemForWalk(void*, void* parentMenu, uint32_t flags, int32_t identifier, const wchar_t* shownText) {
    AppendMenuW(static_cast<HMENU>(parentMenu), MF_STRING | flags, UINT_PTR(identifier), shownText);
}

// Gathered during the walk, registered after it, so that every refusal of the
// configuration comes in one box.
static void RegisterHotkeyForWalk(void* context, const XmlElement& element, const wchar_t*, int32_t identifier) {
    // A request memory cannot hold is left out: that hotkey stays unregistered.
    static_cast<HotkeyRequestList*>(context)->push(
        {identifier, element.name(), element.attributeValue(KD_ATTR_HOTKEY, nullptr), 0, 0, HOTKEY_READABLE});
}

void BuildMenu(const XmlElement& element, HMENU parentMenu) {
    HotkeyRequestList hotkeys;
    MenuSink sink = {};
    sink.context = &hotkeys;
    sink.createPopup = CreatePopupForWalk;
    sink.appendPopup = AppendPopupForWalk;
    sink.appendSeparator = AppendSeparatorForWalk;
    sink.appendItem = AppendItemForWalk;
    sink.registerHotkey = RegisterHotkeyForWalk;
    sink.commands = &CommandItems;
    WalkMenu(element, parentMenu, sink);
    RegisterHotkeys(&hotkeys, parentMenu);
    hotkeys.releaseMemory();
}
