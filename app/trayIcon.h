// The one notification-area icon record.
#pragma once

#include <windows.h>
#include <shellapi.h>

constexpr UINT WM_TRAYNOTIFY = WM_USER;

extern NOTIFYICONDATAW TrayIcon;
extern bool TrayIconShown;

// Fills every field of TrayIcon as at window creation (balloon fields included).
void FillTrayIcon(bool withBalloon);
// Adds the icon with uFlags 7 (no balloon), as every add after the first one.
void AddTrayIconAgain();
// Removes the icon (hWnd and uID set first).
void RemoveTrayIcon();
