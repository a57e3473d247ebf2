// Identifiers shared by the resource script and the code. Included by windres too,
// so it holds only preprocessor definitions.
#pragma once

#define IDD_SELECTOR 101   // the screenshot selector: an empty 0 x 0 pop-up
#define IDD_REMINDER 102   // the timed reminder dialog

#define IDC_REMINDER_TEXT 51000
#define IDC_REMINDER_MINUTES 51001
#define IDC_POWER_OFF 51003
#define IDC_RESTART 51004
#define IDC_LOGOFF 51005
#define IDC_POWER_NONE 51006

// Resource names as the code asks for them (string names, not numbers).
#define KD_ICON_NAME L"A"
#define KD_SELECTOR_DIALOG L"101"
#define KD_REMINDER_DIALOG L"102"
