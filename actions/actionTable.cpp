#include "actions/actionTable.h"

#include "actions/actionHandlers.h"
#include "lib/textCopy.h"

const ActionEntry ActionTable[ACTION_COUNT + 1] = {
    {L"音量+", VolumeUp},
    {L"音量-", VolumeDown},
    {L"静音", VolumeMute},
    {L"亮度+", BrightnessUp},
    {L"亮度-", BrightnessDown},
    {L"默认亮度", BrightnessDefault},
    {L"关闭显示器", MonitorOff},
    {L"隐藏图标", ToggleTrayIcon},
    {L"退出程序", ExitProgram},
    {L"打开光驱", OpenCdDoor},
    {L"关闭光驱", CloseCdDoor},
    {L"重建图标", RebuildIcons},
    {L"屏幕保护", StartScreenSaver},
    {L"强制关机", ForcePowerOff},
    {L"强制重启", ForceRestart},
    {L"屏幕截图", TakeScreenshot},
    {L"定时提醒", ShowTimedReminder},
    {L"", nullptr},
};

ActionHandler FindAction(const wchar_t* text) {
    if (!text) return nullptr;
    for (int32_t row = 0; row < ACTION_COUNT; ++row)
        if (TextEquals(ActionTable[row].name, text)) return ActionTable[row].handler;
    return nullptr;
}
