// Actions that are one request to the system: volume, CD door, shell icons.
#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include "actions/actionHandlers.h"
#include "app/lifecycle.h"
#include "platform/systemLibrary.h"

namespace {
// The volume commands go to our own window, which leaves them to DefWindowProcW;
// unhandled, they reach the shell, which owns the volume. wParam is a fixed
// number the shell does not read as a window.
constexpr WPARAM VOLUME_WPARAM = 0x30292;
constexpr WPARAM MUTE_WPARAM = 0x200EB0;

void SendAppCommand(WPARAM wParam, int command) {
    SendMessageW(MainWindow, WM_APPCOMMAND, wParam, LPARAM(command) << 16);
}

// Without a drive (or without winmm) MCI just fails; there is nothing to tell the user.
void SendMciString(const wchar_t* command) {
    auto send = KD_SYSTEM_FUNCTION(SystemLibrary::Winmm, mciSendStringW);
    if (send) send(command, nullptr, 0, nullptr);
}
}  // namespace

void VolumeUp() {
    SendAppCommand(VOLUME_WPARAM, APPCOMMAND_VOLUME_UP);
}

void VolumeDown() {
    SendAppCommand(VOLUME_WPARAM, APPCOMMAND_VOLUME_DOWN);
}

void VolumeMute() {
    SendAppCommand(MUTE_WPARAM, APPCOMMAND_VOLUME_MUTE);
}

void OpenCdDoor() {
    SendMciString(L"set CDAudio door open");
}

void CloseCdDoor() {
    SendMciString(L"set CDAudio door closed");
}

void RebuildIcons() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}
