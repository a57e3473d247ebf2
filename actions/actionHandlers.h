// Handlers of the action table; each runs on the message-loop thread.
#pragma once

void VolumeUp();
void VolumeDown();
void VolumeMute();
void BrightnessUp();
void BrightnessDown();
void BrightnessDefault();
void MonitorOff();
void ToggleTrayIcon();
void ExitProgram();
void OpenCdDoor();
void CloseCdDoor();
void RebuildIcons();
void StartScreenSaver();
void ForcePowerOff();
void ForceRestart();
void TakeScreenshot();
void ShowTimedReminder();
void EditConfiguration();
void ReloadConfiguration();
