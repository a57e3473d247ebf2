#include "menu/dispatch.h"

#include <windows.h>
#include <shellapi.h>

#include "actions/actionTable.h"
#include "actions/resolution.h"
#include "menu/commandItems.h"
#include "menu/dispatchDecision.h"

void DispatchCommand(int32_t index) {
    if (index < 0 || index >= CommandItemCount) return;
    const CommandItem& item = CommandItems[index];
    DispatchDecision decision = DecideDispatch(item.command, item.handler);
    switch (decision.kind) {
    case DispatchKind::CachedHandler:
        decision.handler();
        break;
    case DispatchKind::Resolution:
        ApplyResolutionCommand(item.command);
        break;
    case DispatchKind::Action: {
        ActionHandler handler = ActionTable[decision.actionRow].handler;
        handler();
        // A nested dispatch may have run meanwhile: find the record again by index.
        if (index < CommandItemCount) CommandItems[index].handler = handler;
        break;
    }
    case DispatchKind::Shell:
        ShellExecuteW(nullptr, nullptr, item.command, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    }
}
