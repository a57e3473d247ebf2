// The brightness actions at their platform calls: one screen DC, one ramp, the DC released.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "actions/actionHandlers.h"
#include "actions/brightnessWin.h"
#include "actions/brightness.h"
#include "tests/windows/actionsTestSupport.h"

namespace {
GammaRamp LastRamp;
int RampCalls;
HDC RampDc;
HDC ScreenDc;
int ScreenDcRequests;
int ScreenDcReleases;
ImportPatch* GetDcPatch;
ImportPatch* ReleaseDcPatch;
ImportPatch* RampPatch;
BOOL RampAnswer;

HDC WINAPI RecordingGetDc(HWND window) {
    HDC dc = reinterpret_cast<decltype(&GetDC)>(GetDcPatch->original())(window);
    if (!window) {
        ++ScreenDcRequests;
        ScreenDc = dc;
    }
    return dc;
}

int WINAPI RecordingReleaseDc(HWND window, HDC dc) {
    if (!window && dc == ScreenDc && dc) ++ScreenDcReleases;
    return reinterpret_cast<decltype(&ReleaseDC)>(ReleaseDcPatch->original())(window, dc);
}

// Xvfb refuses every ramp; answer as it does unless a test asks for the real call.
BOOL WINAPI RecordingSetRamp(HDC dc, LPVOID ramp) {
    ++RampCalls;
    RampDc = dc;
    memcpy(&LastRamp, ramp, sizeof LastRamp);
    if (RampAnswer == -1) {
        RampAnswer = reinterpret_cast<decltype(&SetDeviceGammaRamp)>(RampPatch->original())(dc, ramp);
        return RampAnswer;
    }
    return RampAnswer;
}

class BrightnessActions : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(getDc.active());
        ASSERT_TRUE(releaseDc.active());
        ASSERT_TRUE(setRamp.active());
        GetDcPatch = &getDc;
        ReleaseDcPatch = &releaseDc;
        RampPatch = &setRamp;
        RampAnswer = FALSE;
        RampCalls = ScreenDcRequests = ScreenDcReleases = 0;
        ScreenDc = RampDc = nullptr;
        BrightnessLevel = BRIGHTNESS_DEFAULT;
    }
    void TearDown() override { BrightnessLevel = BRIGHTNESS_DEFAULT; }

    bool LastRampIs(uint16_t level) {
        GammaRamp expected;
        BuildBrightnessRamp(level, &expected);
        return memcmp(&expected, &LastRamp, sizeof expected) == 0;
    }
    // Every ramp went to the screen's own DC, and each such DC was given back.
    void ExpectScreenDcsReleased(int calls) {
        EXPECT_EQ(RampCalls, calls);
        EXPECT_EQ(ScreenDcRequests, calls);
        EXPECT_EQ(ScreenDcReleases, calls);
        EXPECT_EQ(RampDc, ScreenDc);
        EXPECT_NE(RampDc, nullptr);
    }

    ImportPatch getDc{"user32.dll", "GetDC", AsPointer(&RecordingGetDc)};
    ImportPatch releaseDc{"user32.dll", "ReleaseDC", AsPointer(&RecordingReleaseDc)};
    ImportPatch setRamp{"gdi32.dll", "SetDeviceGammaRamp", AsPointer(&RecordingSetRamp)};
};
}  // namespace

TEST_F(BrightnessActions, StepsSetTheRampOfTheNewLevelEvenWhenRefused) {
    BrightnessUp();
    EXPECT_EQ(BrightnessLevel, 103);
    EXPECT_TRUE(LastRampIs(103));
    EXPECT_EQ(LastRamp.channel[2][250], 65535);
    BrightnessDown();
    BrightnessDown();
    EXPECT_EQ(BrightnessLevel, 97);
    EXPECT_TRUE(LastRampIs(97));
    ExpectScreenDcsReleased(3);
}

TEST_F(BrightnessActions, ManyStepsDownStayDarkInsteadOfTurningWhite) {
    for (int press = 0; press < 40; ++press) BrightnessDown();
    EXPECT_EQ(BrightnessLevel, 1);
    EXPECT_EQ(LastRamp.channel[0][255], 510);
    ExpectScreenDcsReleased(40);
}

TEST_F(BrightnessActions, StepUpAtTheTopStaysAtTheTop) {
    BrightnessLevel = 65534;
    BrightnessUp();
    EXPECT_EQ(BrightnessLevel, 65535);
    BrightnessUp();
    EXPECT_EQ(BrightnessLevel, 65535);
    EXPECT_TRUE(LastRampIs(65535));
}

TEST_F(BrightnessActions, DefaultAndResetGiveLevel100AndTheIdentityRamp) {
    BrightnessLevel = 1;
    BrightnessDefault();
    EXPECT_EQ(BrightnessLevel, 100);
    for (int i = 0; i < GAMMA_RAMP_ENTRIES; ++i) ASSERT_EQ(LastRamp.channel[1][i], i * 256);
    BrightnessLevel = 130;
    ResetBrightness();
    EXPECT_EQ(BrightnessLevel, 100);
    EXPECT_TRUE(LastRampIs(100));
    ExpectScreenDcsReleased(2);
}

TEST_F(BrightnessActions, RealRampCallIsMadeAndItsAnswerIgnored) {
    RampAnswer = -1;  // pass the call on to the display
    BrightnessUp();
    // On Xvfb the platform refuses (see tests/README.md); the level moves all the same.
    EXPECT_EQ(RampAnswer, FALSE);
    EXPECT_EQ(BrightnessLevel, 103);
    ExpectScreenDcsReleased(1);
    RampAnswer = -1;
    ResetBrightness();
    EXPECT_EQ(BrightnessLevel, 100);
}
