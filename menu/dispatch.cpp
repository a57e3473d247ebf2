#include "menu/dispatch.h"

#include "actions/actionNames.h"
#include "app/messages.h"
#include "lib/textCopy.h"

DispatchDecision DecideDispatch(const wchar_t* command, ActionHandler cached) {
    if (cached) return {DispatchKind::CachedHandler, cached, NO_ACTION_ROW};
    // Checked before the action names: such a command never reaches the table or the shell.
    if (TextContains(command, KD_RESOLUTION_WORD)) return {DispatchKind::Resolution, nullptr, NO_ACTION_ROW};
    int32_t row = FindActionRow(command);
    if (row != NO_ACTION_ROW) return {DispatchKind::Action, nullptr, row};
    return {DispatchKind::Shell, nullptr, NO_ACTION_ROW};
}
