// When a power operation or a reminder's effect may go on (no platform calls).
#pragma once

#include <cstdint>

// A message box's answer as the platform numbers it.
constexpr int32_t BOX_OK = 1;
constexpr int32_t BOX_YES = 6;

// Forced shutdown and restart: only the user's Yes. A box ended by a quit request
// or by the main window's destruction answers something else, or even looks like
// an answer, so an ending program never goes on.
bool ShutdownConsented(int32_t answer, bool programEnding);

// The power operation after the reminder's text box: only when the user closed the
// box (it answers OK then) and the program is not ending. The box answers OK too
// when its loop met the quit request, which only programEnding tells apart.
bool ReminderFollowUpAllowed(int32_t boxAnswer, bool programEnding);
