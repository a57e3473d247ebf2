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

// Fewer than two characters run only the power choice; 分辨率 anywhere wins; an exact
// action name runs that action; anything near one is shown as text.
TEST(ReminderDecision, EachTextDecidesItsOutcomeAndAction) {
    const struct {
        const wchar_t* text;
        ReminderOutcome outcome;
        ActionHandler action;
    } cases[] = {
        {L"", REMINDER_POWER_ONLY, nullptr},          {L"x", REMINDER_POWER_ONLY, nullptr},
        {L"静", REMINDER_POWER_ONLY, nullptr},         {nullptr, REMINDER_POWER_ONLY, nullptr},
        {L"xy", REMINDER_SHOW_TEXT, nullptr},          {L"分辨率(1024,768)", REMINDER_RESOLUTION, nullptr},
        {L"请把分辨率调低", REMINDER_RESOLUTION, nullptr}, {L"分辨率", REMINDER_RESOLUTION, nullptr},
        {L"分辨", REMINDER_SHOW_TEXT, nullptr},         {L"静音", REMINDER_ACTION, &VolumeMute},
        {L"隐藏图标", REMINDER_ACTION, &ToggleTrayIcon}, {L"定时提醒", REMINDER_ACTION, &ShowTimedReminder},
        {L"静音 ", REMINDER_SHOW_TEXT, nullptr},        {L" 静音", REMINDER_SHOW_TEXT, nullptr},
        {L"静音\r\n", REMINDER_SHOW_TEXT, nullptr},    {L"音量 +", REMINDER_SHOW_TEXT, nullptr},
        {L"该开会了", REMINDER_SHOW_TEXT, nullptr},
    };
    for (const auto& c : cases) {
        ActionHandler action = &VolumeUp;  // must be overwritten
        EXPECT_EQ(Decide(c.text, &action), c.outcome) << testing::PrintToString(c.text ? c.text : L"(null)");
        EXPECT_EQ(action, c.action) << testing::PrintToString(c.text ? c.text : L"(null)");
    }
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

TEST(FormatReminderTip, CountAndNextClockTimeAfterTheCaption) {
    wchar_t tip[128];
    FormatReminderTip(L"KeyDeputy v2.0", 2, 14, 5, tip, 128);
    EXPECT_STREQ(tip, L"KeyDeputy v2.0 · 2 个提醒，下一个 14:05");
    FormatReminderTip(L"KD", 1, 0, 0, tip, 128);
    EXPECT_STREQ(tip, L"KD · 1 个提醒，下一个 00:00");
    FormatReminderTip(L"KD", 0, 14, 5, tip, 128);
    EXPECT_STREQ(tip, L"KD");  // none waits: the caption alone
    // The tip's room is never passed, whatever the caption.
    std::wstring caption(200, L'名');
    wchar_t small[17];
    small[16] = L'#';
    FormatReminderTip(caption.c_str(), 3, 9, 30, small, 16);
    EXPECT_EQ(std::wstring(small), std::wstring(15, L'名'));
    EXPECT_EQ(small[16], L'#');
}

TEST(FormatExitQuestion, TheQuestionThenTheCountInItsOwnFormat) {
    const wchar_t* question = L"你确认立即退出程序？";
    const wchar_t* format = L"还有 %s 个定时提醒未到时间，退出后不会再提醒。";
    std::vector<wchar_t> out(ExitQuestionSize(question, format));
    FormatExitQuestion(question, format, 2, out.data(), out.size());
    EXPECT_STREQ(out.data(), L"你确认立即退出程序？\n\n还有 2 个定时提醒未到时间，退出后不会再提醒。");
    // Overrides of both keep working; a %d is shown as written, never filled.
    const wchar_t* override = L"%d 个提醒 %s 将丢失";
    out.assign(ExitQuestionSize(L"真的退出？", override), L'#');
    FormatExitQuestion(L"真的退出？", override, 1440, out.data(), out.size());
    EXPECT_STREQ(out.data(), L"真的退出？\n\n%d 个提醒 1440 将丢失");
    // A long question is kept whole: the size grows with it.
    std::wstring longQuestion(100000, L'问');
    out.assign(ExitQuestionSize(longQuestion.c_str(), format), L'#');
    FormatExitQuestion(longQuestion.c_str(), format, 7, out.data(), out.size());
    std::wstring whole(out.data());
    EXPECT_EQ(whole.substr(0, 100000), longQuestion);
    EXPECT_EQ(whole.substr(100000), L"\n\n还有 7 个定时提醒未到时间，退出后不会再提醒。");
}
