#include "actions/reminder.h"

#include "actions/actionNames.h"
#include "app/messages.h"
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
    if (TextContains(text, KD_RESOLUTION_WORD)) return REMINDER_RESOLUTION;
    *actionRow = FindActionRow(text);
    return *actionRow != NO_ACTION_ROW ? REMINDER_ACTION : REMINDER_SHOW_TEXT;
}
