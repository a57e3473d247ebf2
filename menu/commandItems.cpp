#include "menu/commandItems.h"

#include <cstdint>
#include <cstdlib>

#include "lib/textCopy.h"

CommandItem* CommandItems = nullptr;
int32_t CommandItemCount = 0;
int32_t CommandItemCapacity = 0;
uint32_t CommandItemsGeneration = 0;

constexpr int32_t COMMAND_ITEM_FIRST_CAPACITY = 10;

// 参数 and 起始位置 apart from the records, in index order, for the few items that
// have them: every record would otherwise carry two more pointers, which a long menu
// pays for in its start-up time.
struct ShellSettings {
    int32_t index;
    const wchar_t* parameters;
    const wchar_t* folder;
};
static ShellSettings* Settings = nullptr;
static int32_t SettingsCount = 0;
static int32_t SettingsCapacity = 0;

bool InitCommandItems() {
    CommandItem* storage = static_cast<CommandItem*>(malloc(COMMAND_ITEM_FIRST_CAPACITY * sizeof(CommandItem)));
    if (!storage) return false;
    free(CommandItems);
    CommandItems = storage;
    ++CommandItemsGeneration;
    SettingsCount = 0;
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

bool ReserveShellSettings() {
    if (SettingsCount < SettingsCapacity) return true;
    if (SettingsCapacity > INT32_MAX / 2) return false;
    int32_t capacity = SettingsCapacity ? SettingsCapacity * 2 : 4;
    void* grown = realloc(Settings, size_t(capacity) * sizeof(ShellSettings));
    if (!grown) return false;
    Settings = static_cast<ShellSettings*>(grown);
    SettingsCapacity = capacity;
    return true;
}

bool AppendCommandItem(const wchar_t* command, const wchar_t* parameters, const wchar_t* folder) {
    // A cut command would run something else than what was written.
    if (!command || TextLength(command) > size_t(COMMAND_TEXT_MAX)) return false;
    if (!ReserveCommandItem()) return false;
    if ((parameters || folder) && !ReserveShellSettings()) return false;
    if (parameters || folder) Settings[SettingsCount++] = {CommandItemCount, parameters, folder};
    CommandItem& item = CommandItems[CommandItemCount];
    item.command = command;
    item.handler = nullptr;
    ++CommandItemCount;
    return true;
}

void FindShellSettings(int32_t index, const wchar_t** parameters, const wchar_t** folder) {
    *parameters = nullptr;
    *folder = nullptr;
    int32_t low = 0, high = SettingsCount;
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (Settings[middle].index < index) low = middle + 1;
        else high = middle;
    }
    if (low == SettingsCount || Settings[low].index != index) return;
    *parameters = Settings[low].parameters;
    *folder = Settings[low].folder;
}
