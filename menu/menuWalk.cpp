#include "menu/menuWalk.h"

#include "app/messages.h"
#include "lib/textCopy.h"
#include "menu/commandItems.h"

// Kept out of WalkMenu so that its buffer is not part of every nesting level's frame:
// the document may nest a thousand levels deep.
static void Visit(const MenuSink& sink, void* parentMenu, const XmlElement& element, MenuEntry entry,
                  int32_t identifier = 0) {
    if (sink.visit) sink.visit(sink.context, parentMenu, element, entry, identifier);
}

// Why the item of this command cannot be added, or MenuEntry::Item.
static MenuEntry ItemRefusal(CommandList& list, const XmlElement& element, const wchar_t* command) {
    // A command cut short would run something else: leave the item out instead,
    // and decide that before anything of it is shown or registered.
    if (TextLength(command) > size_t(COMMAND_TEXT_MAX)) return MenuEntry::CommandTooLong;
    // Past the last identifier a menu can carry, an item could never be chosen.
    if (list.count > LAST_COMMAND_ID - FIRST_COMMAND_ID) return MenuEntry::NoIdentifier;
    if (!list.reserve(1)) return MenuEntry::NoRoom;
    bool settings = element.attributeValue(KD_ATTR_PARAMETERS, nullptr) || element.attributeValue(KD_ATTR_FOLDER, nullptr);
    if (settings && !ReserveShellSettings(list)) return MenuEntry::NoRoom;
    return MenuEntry::Item;
}

[[gnu::noinline]] static void AddCommandItem(const XmlElement& element, void* parentMenu, const MenuSink& sink) {
    const wchar_t* text = element.text(0);
    const wchar_t* command = text ? text : KD_UNDEFINED_COMMAND;
    CommandList& list = *sink.commands;
    MenuEntry refusal = ItemRefusal(list, element, command);
    if (refusal != MenuEntry::Item) {
        Visit(sink, parentMenu, element, refusal);
        return;
    }
    int32_t identifier = FIRST_COMMAND_ID + list.count;

    wchar_t shownText[MENU_TEXT_SIZE];
    CopyTextCut(shownText, MENU_TEXT_SIZE, element.name());
    const wchar_t* hotkey = element.attributeValue(KD_ATTR_HOTKEY, nullptr);
    if (hotkey) {
        AppendTextCut(shownText, MENU_TEXT_SIZE, L"\t");
        AppendTextCut(shownText, MENU_TEXT_SIZE, hotkey);
        sink.registerHotkey(sink.context, element, shownText, identifier);
    }

    uint32_t flags = MENU_STRING;
    if (TextEquals(element.attributeValue(KD_ATTR_SELECTABLE, nullptr), KD_NO)) flags |= MENU_GRAYED;
    if (TextEquals(element.attributeValue(KD_ATTR_CHECKED, nullptr), KD_YES)) flags |= MENU_CHECKED;
    sink.appendItem(sink.context, parentMenu, flags, identifier, shownText);

    AppendCommandItem(list, command, element.attributeValue(KD_ATTR_PARAMETERS, nullptr),
                      element.attributeValue(KD_ATTR_FOLDER, nullptr));  // cannot fail: checked and reserved
    Visit(sink, parentMenu, element, MenuEntry::Item, identifier);
}

void WalkMenu(const XmlElement& element, void* parentMenu, const MenuSink& sink) {
    if (element.isEmpty()) return;
    int32_t count = element.childCount();
    if (count > 0) {
        Visit(sink, parentMenu, element, MenuEntry::Submenu);
        // Children first: their identifiers are handed out before the submenu is appended.
        void* popup = sink.createPopup(sink.context);
        for (int32_t i = 0; i < count; ++i) {
            XmlElement child = element.childAt(i);
            WalkMenu(child, popup, sink);
        }
        sink.appendPopup(sink.context, parentMenu, popup, element.name());
        return;
    }
    if (TextEquals(element.name(), KD_MENU_SEPARATOR)) {
        Visit(sink, parentMenu, element, MenuEntry::Separator);
        sink.appendSeparator(sink.context, parentMenu);
        return;
    }
    AddCommandItem(element, parentMenu, sink);
}
