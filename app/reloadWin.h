// The tray menu and command list built from the configuration in use, and reading
// the configuration again while the program runs.
#pragma once

#include <windows.h>

// The configuration file read at start (allocated once, never freed).
extern wchar_t* ConfigFilePath;
// Set while a reload builds the new menu: commands that arrive from a hotkey
// warning's loop meanwhile are dropped, as during the window's creation.
extern bool ConfigReloading;

// Sent by a second start with 单实例 是 to the running instance: read the file again.
constexpr UINT WM_RELOAD_REQUEST = WM_APP + 1;

// Makes the command list and TrayMenu from ConfigRoot, registering its hotkeys; when
// the file gives no tray menu, a built-in one to edit, reload or leave. False then.
bool BuildTrayMenu();
// At the end of the window's creation: says once when the file gave no menu.
void AnnounceMissingMenu();
// Reads the file again; applies it whole when it loads, else shows the load report
// and keeps everything running as it is. Never ends the program.
void ReloadConfigFile();
