#include "actions/forcedShutdown.h"

#include "actions/actionHandlers.h"
#include "actions/powerConsent.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "platform/systemLibrary.h"

static_assert(BOX_OK == IDOK && BOX_YES == IDYES, "the consent rules read the platform's box answers");

bool LoadNativeShutdown(const wchar_t* library, const char* adjustName, const char* shutdownName,
                        NativeShutdown* native) {
    *native = {};
    HMODULE module = LoadSystemLibrary(library);
    if (!module) return false;
    auto adjust = reinterpret_cast<RtlAdjustPrivilegeProc>(reinterpret_cast<void*>(GetProcAddress(module, adjustName)));
    auto shutdown = reinterpret_cast<ZwShutdownSystemProc>(reinterpret_cast<void*>(GetProcAddress(module, shutdownName)));
    if (!adjust || !shutdown) {
        FreeLibrary(module);
        return false;
    }
    *native = {module, adjust, shutdown};
    return true;
}

void RunNativeShutdown(NativeShutdown* native, uint32_t action) {
    BOOLEAN wasEnabled = FALSE;
    // A thread without a token of its own cannot hold the privilege: ask the process.
    if (native->adjustPrivilege(SHUTDOWN_PRIVILEGE_NUMBER, TRUE, TRUE, &wasEnabled) == STATUS_NO_TOKEN_VALUE)
        native->adjustPrivilege(SHUTDOWN_PRIVILEGE_NUMBER, TRUE, FALSE, &wasEnabled);
    native->shutdownSystem(action);
    if (native->library) FreeLibrary(native->library);
    native->library = nullptr;
}

namespace {
void ConfirmAndShutDown(uint32_t action) {
    // One confirmation text for both actions, so one override changes both.
    const wchar_t* question = MessageText(KD_MSG_SHUTDOWN, KD_MSG_SHUTDOWN_TEXT);
    int answer = MessageBoxW(nullptr, question, AppCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (!ShutdownConsented(answer, ProgramEnding)) return;
    NativeShutdown native;
    if (!LoadNativeShutdown(NATIVE_LIBRARY, ADJUST_PRIVILEGE_NAME, SHUTDOWN_SYSTEM_NAME, &native)) return;
    RunNativeShutdown(&native, action);
}
}  // namespace

void ForcePowerOff() {
    ConfirmAndShutDown(NATIVE_POWER_OFF);
}

void ForceRestart() {
    ConfirmAndShutDown(NATIVE_REBOOT);
}
