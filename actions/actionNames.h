// The names of the built-in actions and the exact lookup by name.
// Portable: which handler runs for a row is bound by the action table, beside the handlers.
#pragma once

#include <cstdint>

constexpr int32_t ACTION_NAME_SIZE = 32;
constexpr int32_t ACTION_COUNT = 19;
constexpr int32_t NO_ACTION_ROW = -1;

// One row per action in table order: its name and the handler that runs it.
#define KD_ACTION_ROWS(ROW)                \
    ROW(L"音量+", VolumeUp)                \
    ROW(L"音量-", VolumeDown)              \
    ROW(L"静音", VolumeMute)               \
    ROW(L"亮度+", BrightnessUp)            \
    ROW(L"亮度-", BrightnessDown)          \
    ROW(L"默认亮度", BrightnessDefault)    \
    ROW(L"关闭显示器", MonitorOff)         \
    ROW(L"隐藏图标", ToggleTrayIcon)       \
    ROW(L"退出程序", ExitProgram)          \
    ROW(L"打开光驱", OpenCdDoor)           \
    ROW(L"关闭光驱", CloseCdDoor)          \
    ROW(L"重建图标", RebuildIcons)         \
    ROW(L"屏幕保护", StartScreenSaver)     \
    ROW(L"强制关机", ForcePowerOff)        \
    ROW(L"强制重启", ForceRestart)         \
    ROW(L"屏幕截图", TakeScreenshot)       \
    ROW(L"定时提醒", ShowTimedReminder)    \
    ROW(L"编辑配置", EditConfiguration)    \
    ROW(L"重新加载配置", ReloadConfiguration)

extern const wchar_t ActionNames[ACTION_COUNT][ACTION_NAME_SIZE];

// Exact, case-sensitive, whole-text match against the 17 names; the first equal
// row, or NO_ACTION_ROW.
int32_t FindActionRow(const wchar_t* text);
