#include "actions/actionNames.h"

#include "lib/textCopy.h"

#define KD_ACTION_NAME(name, handler) name,
const wchar_t ActionNames[ACTION_COUNT][ACTION_NAME_SIZE] = {KD_ACTION_ROWS(KD_ACTION_NAME)};
#undef KD_ACTION_NAME

int32_t FindActionRow(const wchar_t* text) {
    if (!text) return NO_ACTION_ROW;
    for (int32_t row = 0; row < ACTION_COUNT; ++row)
        if (TextEquals(ActionNames[row], text)) return row;
    return NO_ACTION_ROW;
}
