#include "actions/actionNames.h"

#include "app/messages.h"
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

CommandKind ClassifyCommand(const wchar_t* text, int32_t* actionRow) {
    *actionRow = NO_ACTION_ROW;
    if (TextContains(text, KD_RESOLUTION_WORD)) return CommandKind::Resolution;
    *actionRow = FindActionRow(text);
    return *actionRow != NO_ACTION_ROW ? CommandKind::Action : CommandKind::Other;
}
