#include "menu/dispatch.h"

#include "actions/actionNames.h"

DispatchDecision DecideDispatch(const wchar_t* command, ActionHandler cached) {
    if (cached) return {DispatchKind::CachedHandler, cached, NO_ACTION_ROW};
    int32_t row = NO_ACTION_ROW;
    switch (ClassifyCommand(command, &row)) {
    case CommandKind::Resolution: return {DispatchKind::Resolution, nullptr, row};
    case CommandKind::Action: return {DispatchKind::Action, nullptr, row};
    default: return {DispatchKind::Shell, nullptr, row};
    }
}
