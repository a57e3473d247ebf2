#include "actions/actionTable.h"

#include "actions/actionHandlers.h"

#define KD_ACTION_ENTRY(name, handler) {name, handler},
const ActionEntry ActionTable[ACTION_COUNT + 1] = {KD_ACTION_ROWS(KD_ACTION_ENTRY){L"", nullptr}};
#undef KD_ACTION_ENTRY

ActionHandler FindAction(const wchar_t* text) {
    int32_t row = FindActionRow(text);
    return row == NO_ACTION_ROW ? nullptr : ActionTable[row].handler;
}
