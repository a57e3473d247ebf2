#include <gtest/gtest.h>

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "menu/commandItems.h"
#include "menu/dispatch.h"
#include "tests/host/fakeActionHandlers.h"

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
    DispatchDecision decision = DecideDispatch(L"静音", nullptr);
    EXPECT_EQ(decision.kind, DispatchKind::Action);
    EXPECT_EQ(decision.actionRow, 2);
    EXPECT_EQ(ActionTable[decision.actionRow].handler, VolumeMute);
    decision = DecideDispatch(L"定时提醒", nullptr);
    EXPECT_EQ(decision.kind, DispatchKind::Action);
    EXPECT_EQ(ActionTable[decision.actionRow].handler, ShowTimedReminder);
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

TEST(DecideDispatch, SecondChoiceOfAnActionUsesTheStoredHandler) {
    ASSERT_TRUE(InitCommandItems());
    ASSERT_TRUE(AppendCommandItem(L"静音"));
    FakeActionLog.clear();
    // As the dispatcher does it: run, then store the handler in the record.
    for (int round = 0; round < 2; ++round) {
        CommandItem& item = CommandItems[0];
        DispatchDecision decision = DecideDispatch(item.command, item.handler);
        EXPECT_EQ(decision.kind, round == 0 ? DispatchKind::Action : DispatchKind::CachedHandler);
        ActionHandler handler =
            decision.kind == DispatchKind::Action ? ActionTable[decision.actionRow].handler : decision.handler;
        ASSERT_NE(handler, nullptr);
        handler();
        if (decision.kind == DispatchKind::Action) CommandItems[0].handler = handler;
    }
    EXPECT_EQ(FakeActionLog, (std::vector<std::string>{"VolumeMute", "VolumeMute"}));
}
