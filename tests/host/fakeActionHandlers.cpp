#include "tests/host/fakeActionHandlers.h"

#include "actions/actionHandlers.h"

std::vector<std::string> FakeActionLog;

#define KD_FAKE_HANDLER(name) \
    void name() { FakeActionLog.push_back(#name); }

KD_FAKE_HANDLER(VolumeUp)
KD_FAKE_HANDLER(VolumeDown)
KD_FAKE_HANDLER(VolumeMute)
KD_FAKE_HANDLER(BrightnessUp)
KD_FAKE_HANDLER(BrightnessDown)
KD_FAKE_HANDLER(BrightnessDefault)
KD_FAKE_HANDLER(MonitorOff)
KD_FAKE_HANDLER(ToggleTrayIcon)
KD_FAKE_HANDLER(ExitProgram)
KD_FAKE_HANDLER(OpenCdDoor)
KD_FAKE_HANDLER(CloseCdDoor)
KD_FAKE_HANDLER(RebuildIcons)
KD_FAKE_HANDLER(StartScreenSaver)
KD_FAKE_HANDLER(ForcePowerOff)
KD_FAKE_HANDLER(ForceRestart)
KD_FAKE_HANDLER(TakeScreenshot)
KD_FAKE_HANDLER(ShowTimedReminder)
KD_FAKE_HANDLER(EditConfiguration)
KD_FAKE_HANDLER(ReloadConfiguration)
