#include <gtest/gtest.h>

#include "actions/powerConsent.h"

// Message box answers: 0 (not shown), IDOK, IDCANCEL, IDABORT .. IDNO, IDTRYAGAIN, IDCONTINUE.
static const int32_t ANSWERS[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, -1};

TEST(PowerConsent, ForcedShutdownGoesOnOnlyOnYesWhileRunning) {
    for (int32_t answer : ANSWERS) {
        SCOPED_TRACE(answer);
        // The box ended by a quit request answers IDOK under Wine: that is no consent.
        EXPECT_EQ(ShutdownConsented(answer, false), answer == 6);
        EXPECT_FALSE(ShutdownConsented(answer, true));
    }
}

TEST(PowerConsent, ReminderFollowUpOnlyAfterTheUserClosedTheBox) {
    for (int32_t answer : ANSWERS) {
        SCOPED_TRACE(answer);
        EXPECT_EQ(ReminderFollowUpAllowed(answer, false), answer == 1);
        // A box whose loop met the quit request answers IDOK too.
        EXPECT_FALSE(ReminderFollowUpAllowed(answer, true));
    }
}
