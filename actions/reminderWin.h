// The timed reminder dialog.
#pragma once

#include <windows.h>

#include "actions/reminder.h"

// One reminder dialog's own text, minutes and power choice. Each dialog has its
// own record, so a later reminder never changes what an earlier one will do.
struct ReminderRecord {
    wchar_t text[REMINDER_TEXT_SIZE];
    int32_t minutes;
    int32_t choice;  // a PowerChoice
    WNDPROC textFieldProc;  // the text field's own procedure, see ReminderProc
    bool fired;             // time is up: later timer messages do nothing
    bool pending;           // accepted, its time not yet up
    ULONGLONG dueTick;      // GetTickCount64 when it is due
    int32_t dueHour;        // the local clock time it is due, for the tray tip
    int32_t dueMinute;
};

constexpr UINT_PTR REMINDER_TIMER_ID = 1;
constexpr UINT REMINDER_MS_PER_MINUTE = 60000;

// Reminders accepted whose time is not yet up; *next (may be null) gets the one due first.
int32_t PendingReminders(const ReminderRecord** next);
// The exit question with the number of waiting reminders added, for the caller to
// free; null when none waits.
wchar_t* ExitQuestionWithReminders(const wchar_t* question);

// Procedure of the modeless dialog "102". Each dialog allocates its own record
// and frees it when it is destroyed (by the close box, or once its time-up work
// is done). Opens with 不执行 checked and the focus in the text field. It keeps Escape from the multi-line text
// field, which would otherwise close the dialog. The dialogs' keys reach the dialog
// manager through a message hook of the thread, in whichever loop takes them.
INT_PTR CALLBACK ReminderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
