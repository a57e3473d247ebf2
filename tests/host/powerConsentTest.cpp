#include <gtest/gtest.h>

#include "actions/powerConsent.h"

// Every answer a message box can give (0: the box could not be shown), and a value
// no box gives. BOX_OK and BOX_YES are the platform's, asserted where the boxes are shown.
static const int32_t ANSWERS[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, -1};

TEST(PowerConsent, ForcedShutdownGoesOnOnlyOnYesWhileRunning) {
    int32_t consenting = 0;
    for (int32_t answer : ANSWERS) {
        SCOPED_TRACE(answer);
        if (ShutdownConsented(answer, false)) ++consenting;
        // A confirmation ended with the program is never consent, whatever it answered.
        EXPECT_FALSE(ShutdownConsented(answer, true));
    }
    // Exactly one answer goes on, and it is Yes, not the OK of a box ended by a quit request.
    EXPECT_EQ(consenting, 1);
    EXPECT_TRUE(ShutdownConsented(BOX_YES, false));
    EXPECT_FALSE(ShutdownConsented(BOX_OK, false));
}

TEST(PowerConsent, ReminderFollowUpOnlyAfterTheUserClosedTheBox) {
    int32_t allowing = 0;
    for (int32_t answer : ANSWERS) {
        SCOPED_TRACE(answer);
        if (ReminderFollowUpAllowed(answer, false)) ++allowing;
        // A box whose loop met the quit request answers OK too: the ending tells it apart.
        EXPECT_FALSE(ReminderFollowUpAllowed(answer, true));
    }
    EXPECT_EQ(allowing, 1);
    EXPECT_TRUE(ReminderFollowUpAllowed(BOX_OK, false));
}
