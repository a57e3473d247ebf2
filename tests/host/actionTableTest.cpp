#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "lib/textCopy.h"
#include "tests/host/fakeActionHandlers.h"

// Every name finds its own row's handler, and no two rows share a name or a handler:
// a name that ran another row's action would be a wrong command the user never wrote.
TEST(ActionTable, EachNameRunsItsOwnDistinctHandler) {
    std::set<std::wstring> names;
    std::set<std::string> ran;
    for (int32_t row = 0; row < ACTION_COUNT; ++row) {
        const wchar_t* name = ActionNames[row];
        SCOPED_TRACE(row);
        ASSERT_GT(TextLength(name), 0u);
        EXPECT_TRUE(names.insert(name).second) << "a name twice";
        EXPECT_EQ(FindActionRow(name), row);
        ASSERT_EQ(FindAction(name), ActionTable[row].handler);
        FakeActionLog.clear();
        FindAction(name)();
        ASSERT_EQ(FakeActionLog.size(), 1u);
        EXPECT_TRUE(ran.insert(FakeActionLog[0]).second) << FakeActionLog[0] << " runs for two names";
    }
    // One empty row ends the table; it is never found.
    EXPECT_STREQ(ActionTable[ACTION_COUNT].name, L"");
    EXPECT_EQ(ActionTable[ACTION_COUNT].handler, nullptr);
}

// The actions whose mix-up would hurt, and the rows other code asks for by name.
TEST(ActionTable, DangerousAndNamedRowsRunWhatTheySay) {
    const std::pair<const wchar_t*, const char*> named[] = {
        {L"强制关机", "ForcePowerOff"}, {L"强制重启", "ForceRestart"}, {L"退出程序", "ExitProgram"},
        {L"隐藏图标", "ToggleTrayIcon"}, {L"关闭显示器", "MonitorOff"},
    };
    for (const auto& [name, handler] : named) {
        FakeActionLog.clear();
        ActionHandler found = FindAction(name);
        ASSERT_NE(found, nullptr) << handler;
        found();
        EXPECT_EQ(FakeActionLog, std::vector<std::string>{handler});
    }
    FakeActionLog.clear();
    ActionTable[int32_t(ActionRow::ExitProgram)].handler();
    ActionTable[int32_t(ActionRow::ToggleTrayIcon)].handler();
    EXPECT_EQ(FakeActionLog, (std::vector<std::string>{"ExitProgram", "ToggleTrayIcon"}));
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
