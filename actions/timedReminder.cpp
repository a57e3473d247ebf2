#include "actions/timedReminder.h"

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "actions/powerChoice.h"
#include "actions/resolution.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "app/resourceIds.h"
#include "lib/textCopy.h"

namespace {
// What the buttons show at this OK: an automatic radio button cannot be unchecked
// by the user, so "none" here means none was ever chosen in this dialog.
int32_t CheckedChoice(HWND dialog) {
    if (IsDlgButtonChecked(dialog, IDC_POWER_OFF) == BST_CHECKED) return POWER_SHUT_DOWN;
    if (IsDlgButtonChecked(dialog, IDC_RESTART) == BST_CHECKED) return POWER_RESTART;
    if (IsDlgButtonChecked(dialog, IDC_LOGOFF) == BST_CHECKED) return POWER_LOG_OFF;
    return POWER_NONE;
}

void AcceptReminder(HWND dialog, ReminderRecord* record) {
    record->choice = CheckedChoice(dialog);
    // One unit more than the record holds, so that the cut below sees whether it
    // would part a surrogate pair.
    wchar_t typed[REMINDER_TEXT_SIZE + 1];
    GetDlgItemTextW(dialog, IDC_REMINDER_TEXT, typed, REMINDER_TEXT_SIZE + 1);
    CopyTextCut(record->text, REMINDER_TEXT_SIZE, typed);
    record->minutes = int32_t(GetDlgItemInt(dialog, IDC_REMINDER_MINUTES, nullptr, TRUE));
    if (!ReminderMinutesValid(record->minutes)) {
        // The dialog stays open for a correction.
        MessageBoxW(nullptr, MessageText(KD_MSG_REMINDER, KD_MSG_REMINDER_TEXT), AppCaption, MB_OK);
        return;
    }
    KillTimer(dialog, REMINDER_TIMER_ID);
    SetTimer(dialog, REMINDER_TIMER_ID, UINT(record->minutes) * REMINDER_MS_PER_MINUTE, nullptr);
    // Hidden but alive: its modal loop keeps the rest of the program running.
    ShowWindow(dialog, SW_HIDE);
}

// A multi-line edit in a dialog answers Escape by closing the dialog, which would
// drop the reminder being written; Escape does nothing here, as everywhere else
// in the dialog.
LRESULT CALLBACK ReminderTextFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<ReminderRecord*>(GetWindowLongPtrW(GetParent(field), DWLP_USER));
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE) return 0;
    if (!record || !record->textFieldProc) return DefWindowProcW(field, message, wParam, lParam);
    return CallWindowProcW(record->textFieldProc, field, message, wParam, lParam);
}

void KeepEscapeFromTextField(HWND dialog, ReminderRecord* record) {
    HWND field = GetDlgItem(dialog, IDC_REMINDER_TEXT);
    if (!field) return;
    record->textFieldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_WNDPROC));
    SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReminderTextFieldProc));
}

void ReminderTimeUp(HWND dialog, ReminderRecord* record) {
    KillTimer(dialog, REMINDER_TIMER_ID);
    int32_t actionRow = NO_ACTION_ROW;
    switch (DecideReminder(record->text, &actionRow)) {
    case REMINDER_POWER_ONLY:
        RunPowerChoice(record->choice);
        break;
    case REMINDER_RESOLUTION:
        ApplyResolutionCommand(record->text);
        break;
    case REMINDER_ACTION:
        ActionTable[actionRow].handler();
        break;
    case REMINDER_SHOW_TEXT:
        // The user's own text, shown as written; the power choice waits for the box.
        MessageBoxW(nullptr, record->text, AppCaption, MB_OK);
        RunPowerChoice(record->choice);
        break;
    }
}
}  // namespace

INT_PTR CALLBACK ReminderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (lParam) KeepEscapeFromTextField(dialog, reinterpret_cast<ReminderRecord*>(lParam));
        return 0;
    }
    if (message == WM_CLOSE) {
        EndDialog(dialog, INT_PTR(wParam));
        return 0;
    }
    auto* record = reinterpret_cast<ReminderRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!record) return 0;
    // Only OK counts; Escape (the cancel command) and every other command do nothing.
    if (message == WM_COMMAND && wParam == IDOK) AcceptReminder(dialog, record);
    else if (message == WM_TIMER) ReminderTimeUp(dialog, record);
    return 0;
}

void ShowTimedReminder() {
    // The record lives in this frame, which stays until the dialog has ended.
    ReminderRecord record = {};
    DialogBoxParamW(AppInstance, KD_REMINDER_DIALOG, nullptr, ReminderProc, reinterpret_cast<LPARAM>(&record));
}
