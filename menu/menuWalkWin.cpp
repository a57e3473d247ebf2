#include "menu/menuWalkWin.h"

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

static void RegisterHotkeyForWalk(void*, const XmlElement& element, const wchar_t* shownText, int32_t identifier) {
    RegisterItemHotkey(element, shownText, identifier);
}

void BuildMenu(const XmlElement& element, HMENU parentMenu) {
    MenuSink sink = {};
    sink.context = nullptr;
    sink.createPopup = CreatePopupForWalk;
    sink.appendPopup = AppendPopupForWalk;
    sink.appendSeparator = AppendSeparatorForWalk;
    sink.appendItem = AppendItemForWalk;
    sink.registerHotkey = RegisterHotkeyForWalk;
    WalkMenu(element, parentMenu, sink);
}
