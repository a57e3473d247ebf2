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
