#include "actions/resolutionWin.h"

#include <windows.h>

#include "actions/resolution.h"
#include "app/configLookup.h"
#include "app/messages.h"

void ApplyResolutionCommand(const wchar_t* text) {
    int32_t width = 0, height = 0;
    // A text without both numbers must never become an arbitrary mode: it takes
    // the refused-mode path below.
    if (ReadResolutionText(text, &width, &height)) {
        DEVMODEW request = {};
        request.dmSize = sizeof request;
        request.dmDriverExtra = 0;
        request.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        request.dmBitsPerPel = 32;
        request.dmPelsWidth = DWORD(width);
        request.dmPelsHeight = DWORD(height);
        // Try first, store only what the display accepted.
        if (ChangeDisplaySettingsW(&request, 0) == DISP_CHANGE_SUCCESSFUL) {
            ChangeDisplaySettingsW(&request, CDS_UPDATEREGISTRY);
            return;
        }
    }
    ChangeDisplaySettingsW(nullptr, 0);
    MessageBoxW(nullptr, MessageText(KD_MSG_RESOLUTION, KD_MSG_RESOLUTION_TEXT), AppCaption,
                MB_OK | MB_ICONWARNING);
}
