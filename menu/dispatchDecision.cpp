#include "menu/dispatchDecision.h"

#include "actions/actionTable.h"
#include "app/messages.h"
#include "lib/textCopy.h"

DispatchDecision DecideDispatch(const wchar_t* command, ActionHandler cached) {
    if (cached) return {DispatchKind::CachedHandler, cached};
    // Checked before the action names: such a command never reaches the table or the shell.
    if (TextContains(command, KD_RESOLUTION_WORD)) return {DispatchKind::Resolution, nullptr};
    if (ActionHandler handler = FindAction(command)) return {DispatchKind::Action, handler};
    return {DispatchKind::Shell, nullptr};
}
