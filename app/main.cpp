// Program entry: load the configuration, apply the start-up settings, run the message loop.
#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <cstdlib>

#include "app/appInstance.h"
#include "app/autostartWin.h"
#include "app/configLoad.h"
#include "app/configLookup.h"
#include "app/configPath.h"
#include "app/instanceName.h"
#include "app/mainWindow.h"
#include "app/messages.h"
#include "platform/systemLibrary.h"

using namespace Gdiplus;

GdiplusStartupInput GdiplusInput;
ULONG_PTR GdiplusToken = 0;

// True when another instance of this caption has already passed this step. The
// object is taken before anything can wait on the user (the Temp question, hotkey
// warnings), which the window test alone misses; it lives until the process ends.
static bool OtherInstanceRunning() {
    wchar_t name[INSTANCE_NAME_SIZE];
    if (InstanceObjectName(AppCaption, name, INSTANCE_NAME_SIZE)) {
        HANDLE marker = CreateMutexW(nullptr, FALSE, name);
        if (marker && GetLastError() == ERROR_ALREADY_EXISTS) return true;
    }
    return FindWindowW(MAIN_WINDOW_CLASS, AppCaption) != nullptr;
}

// Only the screenshot's output uses GDI+; without gdiplus.dll it saves nothing.
static void StartGdiplus() {
    auto startup = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdiplusStartup);
    if (startup) startup(&GdiplusToken, &GdiplusInput, nullptr);
}

static void StopGdiplus() {
    if (!GdiplusToken) return;
    auto shutdown = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdiplusShutdown);
    if (shutdown) shutdown(GdiplusToken);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    RestrictLibrarySearch();
    AppInstance = instance;

    wchar_t* modulePath = ModulePath();
    wchar_t* configPath = ConfigPathFromModulePath(modulePath ? modulePath : L"");
    free(modulePath);
    ConfigRoot = LoadConfigOrEnd(configPath ? configPath : L"");
    free(configPath);

    LoadAppCaption();
    if (ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE) && OtherInstanceRunning()) return 0;
    ApplyAutostart(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
    if (!OpenMainWindow()) return WINDOW_ERROR_EXIT_CODE;
    StartGdiplus();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    StopGdiplus();
    return int(message.wParam);
}
