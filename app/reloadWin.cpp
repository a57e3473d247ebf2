#include "app/reloadWin.h"

#include <shellapi.h>

#include "actions/actionNames.h"
#include "app/configLoad.h"
#include "app/configLookup.h"
#include "app/configWatchWin.h"
#include "app/lifecycle.h"
#include "app/mainWindow.h"
#include "app/messages.h"
#include "app/reload.h"
#include "app/trayIcon.h"
#include "lib/textCopy.h"
#include "menu/commandItems.h"
#include "menu/hotkeyWin.h"
#include "menu/menuWalkWin.h"

wchar_t* ConfigFilePath = nullptr;
bool ConfigReloading = false;

namespace {
// Holds TrayMenu as its one submenu; destroying it destroys the whole tray menu.
HMENU TrayMenuRoot = nullptr;

// Whatever the file says, the icon always leads somewhere.
const ActionRow FALLBACK_ACTIONS[] = {ActionRow::EditConfiguration, ActionRow::ReloadConfiguration,
                                      ActionRow::ExitProgram};

HMENU AppendFallbackMenu(HMENU rootPopup) {
    HMENU popup = CreatePopupMenu();
    if (!popup) return nullptr;
    for (ActionRow row : FALLBACK_ACTIONS) {
        const wchar_t* command = ActionNames[int32_t(row)];
        int32_t identifier = FIRST_COMMAND_ID + CommandItems.count;
        if (identifier > LAST_COMMAND_ID || !AppendCommandItem(CommandItems, command)) break;
        AppendMenuW(popup, MF_STRING, UINT_PTR(identifier), command);
    }
    AppendMenuW(rootPopup, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"");
    return popup;
}

void DestroyRetiredMenu(void* menu) { DestroyMenu(static_cast<HMENU>(menu)); }

void NoMenuText(wchar_t* text, size_t capacity) {
    FormatOneText(MessageText(KD_MSG_NO_MENU, KD_MSG_NO_MENU_TEXT), ConfigFilePath, text, capacity);
}

bool FileGaveMenu = true;

void ShowReloaded(bool restartNeeded) {
    wchar_t items[21], hotkeys[21], once[256], text[512];
    FormatNumber(items, CommandItems.count);
    FormatNumber(hotkeys, RegisteredHotkeyCount);
    // Two numbers through the one-%s rule: the first fills the first %s, and digits
    // bring no new %s, so the second fills the next one.
    FormatOneText(MessageText(KD_MSG_RELOADED, KD_MSG_RELOADED_TEXT), items, once, ARRAYSIZE(once));
    FormatOneText(once, hotkeys, text, ARRAYSIZE(text));
    if (restartNeeded) {
        AppendTextCut(text, ARRAYSIZE(text), L"\n");
        AppendTextCut(text, ARRAYSIZE(text), MessageText(KD_MSG_RESTART_SETTINGS, KD_MSG_RESTART_SETTINGS_TEXT));
    }
    if (!FileGaveMenu) {
        wchar_t noMenu[256];
        NoMenuText(noMenu, ARRAYSIZE(noMenu));
        AppendTextCut(text, ARRAYSIZE(text), L"\n");
        AppendTextCut(text, ARRAYSIZE(text), noMenu);
    }
    ShowTrayBalloon(text);
}

void ApplyLoaded(const XmlElement& root) {
    ConfigReloading = true;
    bool restartNeeded = StartSettingsChanged(ConfigRoot, root);
    int32_t oldCount = CommandItems.count;
    ConfigSet old = {ConfigRoot, CommandItems, TrayMenuRoot};
    if (!RetireConfig(old, DestroyRetiredMenu)) {
        ConfigReloading = false;
        return;
    }
    // The old list, tree and menu now belong to whatever still runs on them.
    CommandItems = {};
    TrayMenu = TrayMenuRoot = nullptr;
    for (int32_t i = 0; i < oldCount; ++i) UnregisterHotKey(MainWindow, FIRST_COMMAND_ID + i);
    // A press of an old hotkey still queued would run the new item of that number.
    MSG stale;
    while (PeekMessageW(&stale, MainWindow, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    ConfigRoot = root;
    BuildTrayMenu();
    ConfigReloading = false;
    UpdateConfigWatch();
    ShowReloaded(restartNeeded);
}
}  // namespace

bool BuildTrayMenu() {
    InitCommandItems();
    RegisteredHotkeyCount = 0;
    HMENU rootPopup = CreatePopupMenu();
    TrayMenuRoot = rootPopup;
    XmlElement menu = ConfigRoot.childByName(KD_SECTION_MENU, nullptr);
    if (!menu.isEmpty() && rootPopup) BuildMenu(menu, rootPopup);
    menu.release();
    HMENU built = rootPopup ? GetSubMenu(rootPopup, 0) : nullptr;
    FileGaveMenu = built != nullptr;
    if (!built && rootPopup) built = AppendFallbackMenu(rootPopup);
    if (built) {
        MENUITEMINFOW defaultEntry = {};
        defaultEntry.cbSize = sizeof defaultEntry;
        defaultEntry.fMask = MIIM_STATE;
        defaultEntry.fState = MFS_DEFAULT;
        SetMenuItemInfoW(built, 0, TRUE, &defaultEntry);
    }
    TrayMenu = built;
    return FileGaveMenu;
}

void AnnounceMissingMenu() {
    if (FileGaveMenu) return;
    wchar_t text[256];
    NoMenuText(text, ARRAYSIZE(text));
    ShowTrayBalloon(text);
}

void ReloadConfigFile() {
    if (!MainWindowReady || ProgramEnding || ConfigReloading || !ConfigFilePath) return;
    XmlLoadOutcome outcome;
    XmlElement root = LoadConfigXml(ConfigFilePath, KD_ROOT, &outcome);
    NoteConfigRead();
    if (outcome.result.code != XML_OK) {
        ShowLoadReport(ConfigFilePath, outcome, MessageText(KD_MSG_RELOAD_KEPT, KD_MSG_RELOAD_KEPT_TEXT));
        return;
    }
    ApplyLoaded(root);
}
