#include "actions/reminder.h"

#include "actions/actionNames.h"
#include "lib/textCopy.h"

bool PowerChoiceExitFlags(int32_t choice, uint32_t* flags) {
    switch (choice) {
    case POWER_SHUT_DOWN: *flags = EXIT_SHUTDOWN | EXIT_FORCE; return true;
    case POWER_RESTART: *flags = EXIT_REBOOT | EXIT_FORCE; return true;
    case POWER_LOG_OFF: *flags = EXIT_LOGOFF | EXIT_FORCE; return true;
    default: return false;
    }
}

bool ReminderMinutesValid(int32_t minutes) {
    return minutes >= REMINDER_MIN_MINUTES && minutes <= REMINDER_MAX_MINUTES;
}

ReminderOutcome DecideReminder(const wchar_t* text, bool programEnding, int32_t* actionRow) {
    *actionRow = NO_ACTION_ROW;
    if (programEnding) return REMINDER_NOTHING;
    if (!text || TextLength(text) < 2) return REMINDER_POWER_ONLY;
    switch (ClassifyCommand(text, actionRow)) {
    case CommandKind::Resolution: return REMINDER_RESOLUTION;
    case CommandKind::Action: return REMINDER_ACTION;
    default: return REMINDER_SHOW_TEXT;
    }
}

namespace {
void AppendTwoDigits(wchar_t* out, size_t capacity, int32_t value) {
    wchar_t digits[3] = {wchar_t(L'0' + (value / 10) % 10), wchar_t(L'0' + value % 10), 0};
    AppendTextCut(out, capacity, digits);
}
}  // namespace

void FormatReminderTip(const wchar_t* caption, int32_t count, int32_t hour, int32_t minute, wchar_t* out,
                       size_t capacity) {
    if (capacity == 0) return;
    CopyTextCut(out, capacity, caption);
    if (count <= 0) return;
    wchar_t number[21];
    FormatNumber(number, count);
    AppendTextCut(out, capacity, L" · ");
    AppendTextCut(out, capacity, number);
    AppendTextCut(out, capacity, L" 个提醒，下一个 ");
    AppendTwoDigits(out, capacity, hour);
    AppendTextCut(out, capacity, L":");
    AppendTwoDigits(out, capacity, minute);
}

size_t ExitQuestionSize(const wchar_t* question, const wchar_t* pendingFormat) {
    // Two line breaks, the count's digits and the terminator.
    return TextLength(question) + TextLength(pendingFormat) + 2 + 21 + 1;
}

void FormatExitQuestion(const wchar_t* question, const wchar_t* pendingFormat, int32_t count, wchar_t* out,
                        size_t capacity) {
    if (capacity == 0) return;
    CopyTextCut(out, capacity, question);
    wchar_t number[21];
    FormatNumber(number, count);
    AppendTextCut(out, capacity, L"\n\n");
    FormatOneText(pendingFormat, number, out + TextLength(out), capacity - TextLength(out));
}
