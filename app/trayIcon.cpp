#include "app/trayIcon.h"

#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/resourceIds.h"
#include "lib/textCopy.h"

static_assert(ARRAYSIZE(NOTIFYICONDATAW{}.szInfo) == TIP_TEXT_SIZE &&
                  ARRAYSIZE(NOTIFYICONDATAW{}.szInfoTitle) == TIP_TITLE_SIZE,
              "the balloon's room is the notification record's");

NOTIFYICONDATAW TrayIcon = {};
bool TrayIconShown = false;

static void SetAddFields(UINT flags) {
    TrayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    TrayIcon.hWnd = MainWindow;
    TrayIcon.uID = 1;
    TrayIcon.uFlags = flags;
    TrayIcon.uCallbackMessage = WM_TRAYNOTIFY;
    TrayIcon.hIcon = LoadIconW(AppInstance, KD_ICON_NAME);
    CopyTextCut(TrayIcon.szTip, ARRAYSIZE(TrayIcon.szTip), AppCaption);
}

void FillTrayIcon(bool withBalloon) {
    SetAddFields(withBalloon ? (NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO) : (NIF_MESSAGE | NIF_ICON | NIF_TIP));
    // The balloon fields are filled either way; only NIF_INFO decides whether it shows.
    CopyTextCut(TrayIcon.szInfo, ARRAYSIZE(TrayIcon.szInfo),
                ConfigText(KD_SECTION_TIP, KD_KEY_TIP_TEXT, KD_DEFAULT_TIP_TEXT));
    TrayIcon.uTimeout = 3;
    CopyTextCut(TrayIcon.szInfoTitle, ARRAYSIZE(TrayIcon.szInfoTitle),
                ConfigText(KD_SECTION_TIP, KD_KEY_TIP_TITLE, KD_DEFAULT_TIP_TITLE));
    TrayIcon.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
}

void AddTrayIconAgain() {
    SetAddFields(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    Shell_NotifyIconW(NIM_ADD, &TrayIcon);
}

void RemoveTrayIcon() {
    TrayIcon.hWnd = MainWindow;
    TrayIcon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &TrayIcon);
}
