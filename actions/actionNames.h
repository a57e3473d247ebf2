// The names of the seventeen built-in actions and the exact lookup by name.
// Portable: which handler runs for a row is bound by the action table, beside the handlers.
#pragma once

#include <cstdint>

// What a built-in action runs; each runs on the message-loop thread.
using ActionHandler = void (*)();

constexpr int32_t ACTION_NAME_SIZE = 32;
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
    ROW(L"定时提醒", ShowTimedReminder)

// The rows by their handler's name, for code that asks about one action.
#define KD_ACTION_ROW_NAME(name, handler) handler,
enum class ActionRow : int32_t { KD_ACTION_ROWS(KD_ACTION_ROW_NAME) };
#undef KD_ACTION_ROW_NAME
#define KD_ACTION_ROW_ONE(name, handler) +1
constexpr int32_t ACTION_COUNT = 0 KD_ACTION_ROWS(KD_ACTION_ROW_ONE);
#undef KD_ACTION_ROW_ONE

extern const wchar_t ActionNames[ACTION_COUNT][ACTION_NAME_SIZE];

// Exact, case-sensitive, whole-text match against the names; the first equal
// row, or NO_ACTION_ROW.
int32_t FindActionRow(const wchar_t* text);

// What a command text asks for, the one rule of menu items, hotkeys and reminders.
enum class CommandKind {
    Resolution,  // holds 分辨率 anywhere: checked first, so it never reaches the table or the shell
    Action,      // exactly an action's name
    Other,       // anything else
};
// *actionRow is the row for CommandKind::Action, else NO_ACTION_ROW.
CommandKind ClassifyCommand(const wchar_t* text, int32_t* actionRow);
