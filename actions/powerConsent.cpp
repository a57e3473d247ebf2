#include "actions/powerConsent.h"

bool ShutdownConsented(int32_t answer, bool programEnding) {
    return answer == BOX_YES && !programEnding;
}

bool ReminderFollowUpAllowed(int32_t boxAnswer, bool programEnding) {
    return boxAnswer == BOX_OK && !programEnding;
}
