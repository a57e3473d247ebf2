#include "actions/reminderPowerWin.h"

#include <windows.h>

#include "actions/reminder.h"

static_assert(EXIT_LOGOFF == EWX_LOGOFF && EXIT_SHUTDOWN == EWX_SHUTDOWN && EXIT_REBOOT == EWX_REBOOT &&
                  EXIT_FORCE == EWX_FORCE,
              "the power choice's flags are the platform's");

void RunPowerChoice(int32_t choice) {
    uint32_t flags = 0;
    if (!PowerChoiceExitFlags(choice, &flags)) return;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    // Tried even without the privilege: the platform then refuses, silently.
    ExitWindowsEx(flags, 0);
}
