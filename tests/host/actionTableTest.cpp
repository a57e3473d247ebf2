#include <gtest/gtest.h>

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "tests/host/fakeActionHandlers.h"

namespace {

struct ExpectedRow {
    const wchar_t* name;
    ActionHandler handler;
    const char* handlerName;
};

const ExpectedRow EXPECTED_ROWS[ACTION_COUNT] = {
    {L"音量+", VolumeUp, "VolumeUp"},
    {L"音量-", VolumeDown, "VolumeDown"},
    {L"静音", VolumeMute, "VolumeMute"},
    {L"亮度+", BrightnessUp, "BrightnessUp"},
    {L"亮度-", BrightnessDown, "BrightnessDown"},
    {L"默认亮度", BrightnessDefault, "BrightnessDefault"},
    {L"关闭显示器", MonitorOff, "MonitorOff"},
    {L"隐藏图标", ToggleTrayIcon, "ToggleTrayIcon"},
    {L"退出程序", ExitProgram, "ExitProgram"},
    {L"打开光驱", OpenCdDoor, "OpenCdDoor"},
    {L"关闭光驱", CloseCdDoor, "CloseCdDoor"},
    {L"重建图标", RebuildIcons, "RebuildIcons"},
    {L"屏幕保护", StartScreenSaver, "StartScreenSaver"},
    {L"强制关机", ForcePowerOff, "ForcePowerOff"},
    {L"强制重启", ForceRestart, "ForceRestart"},
    {L"屏幕截图", TakeScreenshot, "TakeScreenshot"},
    {L"定时提醒", ShowTimedReminder, "ShowTimedReminder"},
    {L"编辑配置", EditConfiguration, "EditConfiguration"},
    {L"重新加载配置", ReloadConfiguration, "ReloadConfiguration"},
};

}  // namespace

TEST(ActionTable, RowsInOrderThenOneEmptyRow) {
    for (int32_t row = 0; row < ACTION_COUNT; ++row) {
        EXPECT_STREQ(ActionTable[row].name, EXPECTED_ROWS[row].name) << "row " << row;
        EXPECT_EQ(ActionTable[row].handler, EXPECTED_ROWS[row].handler) << "row " << row;
    }
    EXPECT_STREQ(ActionTable[ACTION_COUNT].name, L"");
    EXPECT_EQ(ActionTable[ACTION_COUNT].handler, nullptr);
}

TEST(FindAction, EveryNameFindsAndRunsItsHandler) {
    for (const ExpectedRow& row : EXPECTED_ROWS) {
        FakeActionLog.clear();
        ActionHandler handler = FindAction(row.name);
        ASSERT_NE(handler, nullptr) << row.handlerName;
        handler();
        EXPECT_EQ(FakeActionLog, std::vector<std::string>{row.handlerName});
    }
}

TEST(FindAction, NearMissesFindNothing) {
    const wchar_t* misses[] = {
        L" 静音",       // leading space
        L"静音 ",       // trailing space
        L"静音\n",      // trailing line break
        L"音量 +",      // space before the plus
        L"音量＋",      // full-width plus
        L"音量—",       // dash instead of hyphen-minus
        L"音量",        // prefix of a name
        L"静音静音",    // name twice
        L"关闭显示",    // letter missing
        L"关闭显示屏",  // changed letter
        L"",            // the empty row is never matched
    };
    for (const wchar_t* text : misses) EXPECT_EQ(FindAction(text), nullptr) << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(FindAction(nullptr), nullptr);
}
