#include <gtest/gtest.h>

#include "actions/actionHandlers.h"
#include "menu/dispatch.h"

TEST(DecideDispatch, StoredHandlerWinsWithoutLookingAtTheText) {
    for (const wchar_t* command : {L"静音", L"分辨率(1024,768)", L"notepad.exe", L""}) {
        DispatchDecision decision = DecideDispatch(command, VolumeUp);
        EXPECT_EQ(decision.kind, DispatchKind::CachedHandler);
        EXPECT_EQ(decision.handler, VolumeUp);
        EXPECT_EQ(decision.actionRow, NO_ACTION_ROW);
    }
}

TEST(DecideDispatch, ResolutionAnywhereInTheText) {
    for (const wchar_t* command : {L"分辨率(1024,768)", L"C:\\工具\\分辨率切换.exe", L"静音分辨率", L"分辨率"}) {
        DispatchDecision decision = DecideDispatch(command, nullptr);
        EXPECT_EQ(decision.kind, DispatchKind::Resolution) << testing::PrintToString(std::wstring(command));
        EXPECT_EQ(decision.handler, nullptr);
        EXPECT_EQ(decision.actionRow, NO_ACTION_ROW);
    }
}

TEST(DecideDispatch, ExactActionNameGivesItsRow) {
    for (const wchar_t* name : {L"静音", L"定时提醒", L"退出程序"}) {
        DispatchDecision decision = DecideDispatch(name, nullptr);
        EXPECT_EQ(decision.kind, DispatchKind::Action);
        ASSERT_NE(decision.actionRow, NO_ACTION_ROW);
        EXPECT_STREQ(ActionNames[decision.actionRow], name);
    }
}

TEST(DecideDispatch, EverythingElseGoesToTheShell) {
    for (const wchar_t* command : {L"音量 +", L" 静音", L"未定义", L"notepad.exe C:\\a.txt", L"https://example.com/",
                                   L"C:\\Windows", L""}) {
        DispatchDecision decision = DecideDispatch(command, nullptr);
        EXPECT_EQ(decision.kind, DispatchKind::Shell) << testing::PrintToString(std::wstring(command));
        EXPECT_EQ(decision.handler, nullptr);
        EXPECT_EQ(decision.actionRow, NO_ACTION_ROW);
    }
}
