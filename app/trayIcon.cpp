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

// Empty while the tip is the caption.
static wchar_t TrayTip[ARRAYSIZE(TrayIcon.szTip)];

static void SetAddFields(UINT flags) {
    TrayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    TrayIcon.hWnd = MainWindow;
    TrayIcon.uID = 1;
    TrayIcon.uFlags = flags;
    TrayIcon.uCallbackMessage = WM_TRAYNOTIFY;
    TrayIcon.hIcon = LoadIconW(AppInstance, KD_ICON_NAME);
    CopyTextCut(TrayIcon.szTip, ARRAYSIZE(TrayIcon.szTip), TrayTip[0] ? TrayTip : AppCaption);
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

// A record that changes only the fields of flags of the icon already shown.
static NOTIFYICONDATAW ModifyRecord(UINT flags) {
    NOTIFYICONDATAW record = {};
    record.cbSize = sizeof record;
    record.hWnd = MainWindow;
    record.uID = 1;
    record.uFlags = flags;
    return record;
}

void SetTrayTip(const wchar_t* tip) {
    CopyTextCut(TrayTip, ARRAYSIZE(TrayTip), tip);
    if (!TrayIconShown || !MainWindow) return;
    NOTIFYICONDATAW change = ModifyRecord(NIF_TIP);
    CopyTextCut(change.szTip, ARRAYSIZE(change.szTip), TrayTip[0] ? TrayTip : AppCaption);
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

void ShowTrayBalloon(const wchar_t* text) {
    if (!TrayIconShown || !MainWindow) return;
    NOTIFYICONDATAW balloon = ModifyRecord(NIF_INFO);
    CopyTextCut(balloon.szInfo, ARRAYSIZE(balloon.szInfo), text);
    CopyTextCut(balloon.szInfoTitle, ARRAYSIZE(balloon.szInfoTitle), AppCaption);
    balloon.uTimeout = 3;
    balloon.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void RemoveTrayIcon() {
    TrayIcon.hWnd = MainWindow;
    TrayIcon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &TrayIcon);
}
