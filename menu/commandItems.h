// The command item list: one record per menu command, in document order, depth first.
#pragma once

#include <cstdint>

#include "actions/actionNames.h"
#include "lib/growArray.h"

constexpr int32_t FIRST_COMMAND_ID = 1024;
// Menu identifiers travel in 16 bits (the low word of WM_COMMAND's wParam).
constexpr int32_t LAST_COMMAND_ID = 0xFFFF;
// Longest command: room for a program path with its arguments; a longer command is
// left out, never cut.
constexpr int32_t COMMAND_TEXT_MAX = 1023;

struct CommandItem {
    // Not a copy: the element's text in the configuration tree, which lives as long as
    // the list, or a literal. A record stays small however long its command is.
    const wchar_t* command;
    ActionHandler handler;  // cached action, set by dispatch on first use
};

// 参数 and 起始位置 of one item, kept apart from the records for the few items that
// have them: every record would otherwise carry two more pointers, which a long menu
// pays for in its start-up time.
struct ShellSettings {
    int32_t index;
    const wchar_t* parameters;
    const wchar_t* folder;
};

// Room for 10 records at first; indexed in 32 bits like the menu identifiers. The
// settings go with their records, so a list retired by a reload keeps its own.
struct CommandList : GrowArray<CommandItem, int32_t, 10> {
    GrowArray<ShellSettings, int32_t, 4> settings;
    void releaseMemory() {
        GrowArray::releaseMemory();
        settings.releaseMemory();
    }
};
// The running program's list. Anything else that walks a menu (the checker) fills a
// list of its own.
extern CommandList CommandItems;

// Counts the lists CommandItems was given: a record found by index after code that may
// have run a reload belongs to the same list only while this is unchanged.
extern uint32_t CommandItemsGeneration;

// Gives CommandItems storage for 10 records, count 0, a new generation; frees the list
// before it unless the caller has taken it (set CommandItems to {}). False when memory
// is short.
bool InitCommandItems();
// Makes room for one more item's 参数 and 起始位置; false when memory is short.
bool ReserveShellSettings(CommandList& list);
// Appends a record that keeps its texts themselves, so they must live as long as the
// record; false when it cannot be stored. parameters and folder (参数, 起始位置) may be null.
bool AppendCommandItem(CommandList& list, const wchar_t* command, const wchar_t* parameters = nullptr,
                       const wchar_t* folder = nullptr);
// The 参数 and 起始位置 of item index, null where the item has none.
void FindShellSettings(const CommandList& list, int32_t index, const wchar_t** parameters, const wchar_t** folder);
