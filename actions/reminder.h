// What a timed reminder does when its time is up, and its power choices (no platform calls).
#pragma once

#include <cstdint>

// ExitWindowsEx flags with the platform's values (EWX_LOGOFF, EWX_SHUTDOWN,
// EWX_REBOOT, EWX_FORCE), so that the decision needs no platform header.
constexpr uint32_t EXIT_LOGOFF = 0x0;
constexpr uint32_t EXIT_SHUTDOWN = 0x1;
constexpr uint32_t EXIT_REBOOT = 0x2;
constexpr uint32_t EXIT_FORCE = 0x4;

// The reminder dialog's power operation.
enum PowerChoice : int32_t {
    POWER_NONE = 0,
    POWER_SHUT_DOWN = 1,
    POWER_RESTART = 2,
    POWER_LOG_OFF = 3,
};

// ExitWindowsEx flags for a choice (EWX_SHUTDOWN, EWX_REBOOT or EWX_LOGOFF with
// EWX_FORCE); false for POWER_NONE and for any value outside the table.
bool PowerChoiceExitFlags(int32_t choice, uint32_t* flags);

constexpr int32_t REMINDER_TEXT_SIZE = 512;  // 511 characters and the terminator
constexpr int32_t REMINDER_MIN_MINUTES = 1;
constexpr int32_t REMINDER_MAX_MINUTES = 1440;

bool ReminderMinutesValid(int32_t minutes);

enum ReminderOutcome : int32_t {
    REMINDER_NOTHING,     // the program has begun to end: no reminder acts any more
    REMINDER_POWER_ONLY,  // fewer than two characters: only the power choice runs
    REMINDER_RESOLUTION,  // holds 分辨率 anywhere: the resolution command
    REMINDER_ACTION,      // exactly an action name: that action, no power choice
    REMINDER_SHOW_TEXT,   // anything else: the text in a box, then the power choice
};

// Decides in that order; *actionRow is the action's row for REMINDER_ACTION and
// NO_ACTION_ROW otherwise.
ReminderOutcome DecideReminder(const wchar_t* text, bool programEnding, int32_t* actionRow);
