// The walk of the 菜单 section: decides what each element becomes, fills the command
// item list and hands menus, entries and hotkeys to a sink (real menus on Win32).
#pragma once

#include <cstdint>

#include "lib/xmlReader.h"
#include "menu/commandItems.h"

// Entry flags with the platform's values (MF_STRING, MF_GRAYED, MF_CHECKED).
constexpr uint32_t MENU_STRING = 0x0;
constexpr uint32_t MENU_GRAYED = 0x1;
constexpr uint32_t MENU_CHECKED = 0x8;

// Room of an entry's shown text: label, tab and hotkey text, 255 characters.
constexpr int32_t MENU_TEXT_SIZE = 256;

// What the walk made of an element, as the sink's visit is told.
enum class MenuEntry : int32_t {
    Submenu,         // before its children are walked
    Separator,
    Item,            // a command item, appended and recorded under the identifier given
    CommandTooLong,  // left out: the command is longer than COMMAND_TEXT_MAX
    NoIdentifier,    // left out: its identifier would pass LAST_COMMAND_ID
    NoRoom,          // left out: the command item list cannot grow
};

struct MenuSink {
    void* context;
    void* (*createPopup)(void* context);
    // Called after the popup's entries have been appended to it.
    void (*appendPopup)(void* context, void* parentMenu, void* popup, const wchar_t* text);
    void (*appendSeparator)(void* context, void* parentMenu);
    void (*appendItem)(void* context, void* parentMenu, uint32_t flags, int32_t identifier, const wchar_t* shownText);
    // Only for items with a 快捷键 attribute, before their entry is appended.
    void (*registerHotkey)(void* context, const XmlElement& element, const wchar_t* shownText, int32_t identifier);
    // May be null. Told of every element in document order, with what it became; the
    // identifier only for an Item, else 0.
    void (*visit)(void* context, void* parentMenu, const XmlElement& element, MenuEntry entry, int32_t identifier);
    CommandList* commands;  // where the items are recorded
};

// Appends the entry of element (a submenu, a separator or a command item) to parentMenu,
// recursively; command items are numbered FIRST_COMMAND_ID + the list's count and
// recorded in sink.commands, which keeps pointers to the texts of element's tree: the
// tree must outlive the list. An item whose command is longer than COMMAND_TEXT_MAX, whose
// identifier would pass LAST_COMMAND_ID, or for which the list cannot grow, is left
// out entirely. An empty handle adds nothing.
// Every function of the sink but visit must be set.
void WalkMenu(const XmlElement& element, void* parentMenu, const MenuSink& sink);
