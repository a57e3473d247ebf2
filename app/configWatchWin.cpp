#include "app/configWatchWin.h"

#include <windows.h>

#include "app/configLookup.h"
#include "app/messages.h"
#include "app/reload.h"
#include "app/reloadWin.h"
#include "lib/textCopy.h"

static_assert(WAIT_FOREVER == INFINITE, "the watch's wait is handed to the platform's wait as it is");

namespace {
HANDLE FolderChange = INVALID_HANDLE_VALUE;
ConfigWatch Watch = {};

FileStamp StampOfConfig() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ConfigFilePath || !GetFileAttributesExW(ConfigFilePath, GetFileExInfoStandard, &data)) return {false, 0, 0};
    uint64_t size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    uint64_t written = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return {true, size, written};
}

void StopWatch() {
    if (FolderChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(FolderChange);
    FolderChange = INVALID_HANDLE_VALUE;
}

// One notice per batch of changes in the folder, whichever file they touch.
void StartFolderWatch() {
    wchar_t folder[MAX_PATH * 4];
    size_t cut = PathFolderLength(ConfigFilePath);
    if (cut == 0 || cut >= ARRAYSIZE(folder)) return;
    CopyTextCut(folder, cut + 1, ConfigFilePath);
    FolderChange = FindFirstChangeNotificationW(
        folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    StartWatch(&Watch, StampOfConfig());
}

void Dispatch(MSG& message) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
}  // namespace

void UpdateConfigWatch() {
    bool wanted = ConfigFilePath && ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTO_RELOAD);
    if (!wanted) {
        StopWatch();
    } else if (FolderChange == INVALID_HANDLE_VALUE) {
        StartFolderWatch();
    }
}

void NoteConfigRead() {
    if (FolderChange != INVALID_HANDLE_VALUE) StartWatch(&Watch, StampOfConfig());
}

int RunMessageLoop() {
    MSG message = {};
    for (;;) {
        if (FolderChange == INVALID_HANDLE_VALUE) {
            if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
            Dispatch(message);
            continue;
        }
        // Asleep until a message or a change in the folder; a timeout only while a
        // saved file settles.
        DWORD wait = WatchWaitMs(Watch, GetTickCount());
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &FolderChange, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) {
            if (!FindNextChangeNotification(FolderChange)) StopWatch();
            NoteFolderChange(&Watch, StampOfConfig(), GetTickCount());
        } else if (woke == WAIT_TIMEOUT) {
            if (WatchSettled(&Watch, StampOfConfig(), GetTickCount())) ReloadConfigFile();
        } else if (woke == WAIT_OBJECT_0 + 1) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) return int(message.wParam);
                Dispatch(message);
            }
        } else {
            StopWatch();  // the handle failed: messages only from now on
        }
    }
    return int(message.wParam);
}
