#include "menu/commandItems.h"

#include <cstdint>

#include "lib/textCopy.h"

CommandList CommandItems;
uint32_t CommandItemsGeneration = 0;

bool InitCommandItems() {
    CommandList fresh;
    if (!fresh.reserve(1)) return false;
    CommandItems.releaseMemory();
    CommandItems = fresh;
    ++CommandItemsGeneration;
    return true;
}

bool ReserveShellSettings(CommandList& list) { return list.settings.reserve(1); }

bool AppendCommandItem(CommandList& list, const wchar_t* command, const wchar_t* parameters, const wchar_t* folder) {
    // A cut command would run something else than what was written.
    if (!command || TextLength(command) > size_t(COMMAND_TEXT_MAX)) return false;
    if (!list.reserve(1)) return false;
    if ((parameters || folder) && !list.settings.push({list.count, parameters, folder})) return false;
    list.push({command, nullptr});
    return true;
}

void FindShellSettings(const CommandList& list, int32_t index, const wchar_t** parameters, const wchar_t** folder) {
    *parameters = nullptr;
    *folder = nullptr;
    const auto& settings = list.settings;
    int32_t low = 0, high = settings.count;
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (settings.items[middle].index < index) low = middle + 1;
        else high = middle;
    }
    if (low == settings.count || settings.items[low].index != index) return;
    *parameters = settings.items[low].parameters;
    *folder = settings.items[low].folder;
}
