#include <gtest/gtest.h>

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "actions/reminder.h"
#include "tests/host/fakeActionHandlers.h"

namespace {
// The row's handler, so that the cases read as what runs.
ReminderOutcome Decide(const wchar_t* text, ActionHandler* action) {
    int32_t row = 0;  // must be overwritten
    ReminderOutcome outcome = DecideReminder(text, false, &row);
    *action = row == NO_ACTION_ROW ? nullptr : ActionTable[row].handler;
    return outcome;
}
}  // namespace

TEST(ReminderDecision, FewerThanTwoCharactersRunOnlyThePowerChoice) {
    ActionHandler action;
    EXPECT_EQ(Decide(L"", &action), REMINDER_POWER_ONLY);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(Decide(L"x", &action), REMINDER_POWER_ONLY);
    EXPECT_EQ(Decide(L"静", &action), REMINDER_POWER_ONLY);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(Decide(nullptr, &action), REMINDER_POWER_ONLY);
    EXPECT_EQ(Decide(L"xy", &action), REMINDER_SHOW_TEXT);
}

TEST(ReminderDecision, ResolutionWordAnywhereWins) {
    ActionHandler action;
    EXPECT_EQ(Decide(L"分辨率(1024,768)", &action), REMINDER_RESOLUTION);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(Decide(L"请把分辨率调低", &action), REMINDER_RESOLUTION);
    EXPECT_EQ(Decide(L"分辨率", &action), REMINDER_RESOLUTION);
    EXPECT_EQ(Decide(L"分辨", &action), REMINDER_SHOW_TEXT);
}

TEST(ReminderDecision, ExactActionNameRunsThatAction) {
    ActionHandler action;
    EXPECT_EQ(Decide(L"静音", &action), REMINDER_ACTION);
    EXPECT_EQ(action, &VolumeMute);
    EXPECT_EQ(Decide(L"隐藏图标", &action), REMINDER_ACTION);
    EXPECT_EQ(action, &ToggleTrayIcon);
    EXPECT_EQ(Decide(L"定时提醒", &action), REMINDER_ACTION);
    EXPECT_EQ(action, &ShowTimedReminder);
}

TEST(ReminderDecision, NearActionNamesAreShownAsText) {
    ActionHandler action;
    EXPECT_EQ(Decide(L"静音 ", &action), REMINDER_SHOW_TEXT);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(Decide(L" 静音", &action), REMINDER_SHOW_TEXT);
    EXPECT_EQ(Decide(L"静音\r\n", &action), REMINDER_SHOW_TEXT);
    EXPECT_EQ(Decide(L"音量 +", &action), REMINDER_SHOW_TEXT);
    EXPECT_EQ(Decide(L"该开会了", &action), REMINDER_SHOW_TEXT);
    EXPECT_EQ(action, nullptr);
}

TEST(ReminderDecision, DecidingRunsNothing) {
    FakeActionLog.clear();
    ActionHandler action;
    Decide(L"静音", &action);
    Decide(L"退出程序", &action);
    EXPECT_TRUE(FakeActionLog.empty());
}

TEST(ReminderMinutes, OneToADay) {
    EXPECT_FALSE(ReminderMinutesValid(0));
    EXPECT_TRUE(ReminderMinutesValid(1));
    EXPECT_TRUE(ReminderMinutesValid(1440));
    EXPECT_FALSE(ReminderMinutesValid(1441));
    EXPECT_FALSE(ReminderMinutesValid(-1));
    EXPECT_FALSE(ReminderMinutesValid(INT32_MIN));
}

TEST(PowerChoice, ForcedExitFlags) {
    uint32_t flags = 99;
    EXPECT_TRUE(PowerChoiceExitFlags(POWER_SHUT_DOWN, &flags));
    EXPECT_EQ(flags, 5u);
    EXPECT_TRUE(PowerChoiceExitFlags(POWER_RESTART, &flags));
    EXPECT_EQ(flags, 6u);
    EXPECT_TRUE(PowerChoiceExitFlags(POWER_LOG_OFF, &flags));
    EXPECT_EQ(flags, 4u);
    // No choice must not become ExitWindowsEx(0), which is a log-off.
    flags = 99;
    EXPECT_FALSE(PowerChoiceExitFlags(POWER_NONE, &flags));
    EXPECT_FALSE(PowerChoiceExitFlags(4, &flags));
    EXPECT_FALSE(PowerChoiceExitFlags(-1, &flags));
    EXPECT_EQ(flags, 99u);
}

TEST(ReminderDecision, NothingActsOnceTheProgramIsEnding) {
    for (const wchar_t* text : {L"", L"静音", L"分辨率(800,600)", L"该下班了", L"定时提醒"}) {
        int32_t row = 0;
        EXPECT_EQ(DecideReminder(text, true, &row), REMINDER_NOTHING);
        EXPECT_EQ(row, NO_ACTION_ROW);
    }
}
