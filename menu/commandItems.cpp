#include "menu/commandItems.h"

#include <cstdint>
#include <cstdlib>

#include "lib/textCopy.h"

CommandItem* CommandItems = nullptr;
int32_t CommandItemCount = 0;
int32_t CommandItemCapacity = 0;

constexpr int32_t COMMAND_ITEM_FIRST_CAPACITY = 10;

bool InitCommandItems() {
    CommandItem* storage = static_cast<CommandItem*>(malloc(COMMAND_ITEM_FIRST_CAPACITY * sizeof(CommandItem)));
    if (!storage) return false;
    free(CommandItems);  // the list is made once per run; a second start replaces it
    CommandItems = storage;
    CommandItemCount = 0;
    CommandItemCapacity = COMMAND_ITEM_FIRST_CAPACITY;
    return true;
}

bool ReserveCommandItem() {
    if (CommandItemCount < CommandItemCapacity) return true;
    // Doubling keeps the copying of a long menu linear: a fixed step copied the whole
    // list again every few items.
    if (CommandItemCapacity > INT32_MAX / 2) return false;
    int32_t capacity = CommandItemCapacity * 2;
    void* grown = realloc(CommandItems, size_t(capacity) * sizeof(CommandItem));
    if (!grown) return false;  // the old storage and its records stay as they were
    CommandItems = static_cast<CommandItem*>(grown);
    CommandItemCapacity = capacity;
    return true;
}

bool AppendCommandItem(const wchar_t* command, const wchar_t* parameters, const wchar_t* folder) {
    // A cut command would run something else than what was written.
    if (!command || TextLength(command) > size_t(COMMAND_TEXT_MAX)) return false;
    if (!ReserveCommandItem()) return false;
    CommandItem& item = CommandItems[CommandItemCount];
    item.command = command;
    item.parameters = parameters;
    item.folder = folder;
    item.handler = nullptr;
    ++CommandItemCount;
    return true;
}
