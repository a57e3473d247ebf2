#include "actions/reminderWin.h"

#include "actions/actionHandlers.h"
#include "actions/actionTable.h"
#include "actions/reminderPowerWin.h"
#include "actions/powerConsent.h"
#include "actions/resolutionWin.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/resourceIds.h"
#include "lib/textCopy.h"

#include <cstdlib>

namespace {
// Installed with the first reminder: every loop of the thread, the program's own and
// the modal loops of boxes and dialogs (whose dialog manager knows only their own
// dialog), takes its messages through it.
HHOOK ReminderKeysHook = nullptr;

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
    // Hidden until its time is up; nothing shows it again.
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
    record->fired = true;
    int32_t actionRow = NO_ACTION_ROW;
    switch (DecideReminder(record->text, ProgramEnding, &actionRow)) {
    case REMINDER_NOTHING:
        break;
    case REMINDER_POWER_ONLY:
        RunPowerChoice(record->choice);
        break;
    case REMINDER_RESOLUTION:
        ApplyResolutionCommand(record->text);
        break;
    case REMINDER_ACTION:
        ActionTable[actionRow].handler();
        break;
    case REMINDER_SHOW_TEXT: {
        // The user's own text, shown as written and in front; the power choice waits
        // for the box, and is dropped when the box ended with the program. A close
        // request meanwhile may destroy the dialog and its record: keep the choice.
        int32_t choice = record->choice;
        int answer = MessageBoxW(nullptr, record->text, AppCaption, MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
        if (ReminderFollowUpAllowed(answer, ProgramEnding)) RunPowerChoice(choice);
        break;
    }
    }
}

void ReleaseReminder(HWND dialog, ReminderRecord* record) {
    // The field is destroyed after this dialog's WM_DESTROY: give it its own
    // procedure back before the record goes.
    HWND field = GetDlgItem(dialog, IDC_REMINDER_TEXT);
    if (field && record->textFieldProc)
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->textFieldProc));
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    free(record);
}

bool IsReminderDialog(HWND window) {
    // Only a dialog's window bytes hold a dialog procedure.
    if (!window || GetClassLongPtrW(window, GCW_ATOM) != ATOM(reinterpret_cast<ULONG_PTR>(WC_DIALOG))) return false;
    return GetWindowLongPtrW(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&ReminderProc);
}

// A key meant for a reminder goes to the dialog manager (Tab, Return, the default
// button); one it handled becomes WM_NULL, so the loop dispatches nothing. Other
// messages are dispatched by the loop as usual.
LRESULT CALLBACK ReminderKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    bool key = message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST;
    if (code == HC_ACTION && wParam == PM_REMOVE && key && message->hwnd) {
        HWND root = GetAncestor(message->hwnd, GA_ROOT);
        if (IsReminderDialog(root) && IsDialogMessageW(root, message)) *message = MSG{};
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

INT_PTR CALLBACK ReminderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        // Without a record the dialog does nothing but close.
        auto* record = static_cast<ReminderRecord*>(calloc(1, sizeof(ReminderRecord)));
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
        if (record) KeepEscapeFromTextField(dialog, record);
        return 0;
    }
    if (message == WM_CLOSE) {
        DestroyWindow(dialog);
        return 0;
    }
    auto* record = reinterpret_cast<ReminderRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!record) return 0;
    if (message == WM_DESTROY) {
        ReleaseReminder(dialog, record);
    } else if (message == WM_COMMAND && wParam == IDOK && !record->fired) {
        // Only OK counts; Escape (the cancel command) and every other command do nothing.
        AcceptReminder(dialog, record);
    } else if (message == WM_TIMER && !record->fired) {
        ReminderTimeUp(dialog, record);
        // Its work is done; the record goes with the dialog (unless a close request
        // took both while a box was open).
        if (IsWindow(dialog)) DestroyWindow(dialog);
    }
    return 0;
}

void ShowTimedReminder() {
    // Modeless, so that it never holds up an operation whose modal loop was open
    // when it was set: modal loops end last-in first-out.
    if (!ReminderKeysHook)
        ReminderKeysHook = SetWindowsHookExW(WH_GETMESSAGE, ReminderKeys, nullptr, GetCurrentThreadId());
    HWND dialog = CreateDialogParamW(AppInstance, KD_REMINDER_DIALOG, nullptr, ReminderProc, 0);
    if (dialog) ShowWindow(dialog, SW_SHOW);
}
