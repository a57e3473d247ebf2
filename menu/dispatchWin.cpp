#include "menu/dispatchWin.h"

#include <windows.h>

#include "actions/actionTable.h"
#include "actions/resolutionWin.h"
#include "menu/commandItems.h"
#include "menu/dispatch.h"
#include "menu/shellCommandWin.h"
#include "platform/systemLibrary.h"

void DispatchCommand(int32_t index) {
    if (index < 0 || index >= CommandItems.count) return;
    const CommandItem& item = CommandItems.items[index];
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
        uint32_t generation = CommandItemsGeneration;
        handler();
        // A nested dispatch may have run meanwhile: find the record again by index, and
        // only in the same list; after a reload that index is another item.
        if (generation == CommandItemsGeneration && index < CommandItems.count) CommandItems.items[index].handler = handler;
        break;
    }
    case DispatchKind::Shell:
        StartShellCom();
        RunShellCommand(index);
        break;
    }
}
