#include "menu/commandItems.h"

#include <cstdint>

#include "lib/textCopy.h"

CommandList CommandItems;
uint32_t CommandItemsGeneration = 0;

// 参数 and 起始位置 apart from the records, in index order, for the few items that
// have them: every record would otherwise carry two more pointers, which a long menu
// pays for in its start-up time.
struct ShellSettings {
    int32_t index;
    const wchar_t* parameters;
    const wchar_t* folder;
};
static GrowArray<ShellSettings, int32_t, 4> Settings;

bool InitCommandItems() {
    CommandList fresh;
    if (!fresh.reserve(1)) return false;
    CommandItems.releaseMemory();
    CommandItems = fresh;
    ++CommandItemsGeneration;
    Settings.cut(0);
    return true;
}

bool ReserveShellSettings() { return Settings.reserve(1); }

bool AppendCommandItem(const wchar_t* command, const wchar_t* parameters, const wchar_t* folder) {
    // A cut command would run something else than what was written.
    if (!command || TextLength(command) > size_t(COMMAND_TEXT_MAX)) return false;
    if (!CommandItems.reserve(1)) return false;
    if ((parameters || folder) && !Settings.push({CommandItems.count, parameters, folder})) return false;
    CommandItems.push({command, nullptr});
    return true;
}

void FindShellSettings(int32_t index, const wchar_t** parameters, const wchar_t** folder) {
    *parameters = nullptr;
    *folder = nullptr;
    int32_t low = 0, high = Settings.count;
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (Settings.items[middle].index < index) low = middle + 1;
        else high = middle;
    }
    if (low == Settings.count || Settings.items[low].index != index) return;
    *parameters = Settings.items[low].parameters;
    *folder = Settings.items[low].folder;
}
