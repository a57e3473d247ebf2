#include <gtest/gtest.h>

#include <cstring>

#include "actions/brightness.h"

namespace {
// The entry of the first 65535 in the red channel, or -1 when the ramp never reaches it.
int FirstSaturated(const GammaRamp& ramp) {
    for (int i = 0; i < GAMMA_RAMP_ENTRIES; ++i)
        if (ramp.channel[0][i] == 65535) return i;
    return -1;
}

bool ChannelsEqual(const GammaRamp& ramp) {
    for (int i = 0; i < GAMMA_RAMP_ENTRIES; ++i)
        if (ramp.channel[1][i] != ramp.channel[0][i] || ramp.channel[2][i] != ramp.channel[0][i]) return false;
    return true;
}
}  // namespace

TEST(BrightnessRamp, KnownLevels) {
    struct Row { uint16_t level; uint16_t factor; uint16_t last; int firstSaturated; };
    const Row rows[] = {
        {1, 2, 510, -1}, {97, 248, 63240, -1}, {100, 256, 65280, -1}, {103, 263, 65535, 250}, {199, 509, 65535, 129},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.level);
        GammaRamp ramp;
        BuildBrightnessRamp(row.level, &ramp);
        EXPECT_EQ(ramp.channel[0][0], 0);
        EXPECT_EQ(ramp.channel[0][1], row.factor);
        EXPECT_EQ(ramp.channel[0][255], row.last);
        EXPECT_EQ(FirstSaturated(ramp), row.firstSaturated);
        EXPECT_TRUE(ChannelsEqual(ramp));
        // Below the first saturated entry the ramp is the plain product.
        int end = row.firstSaturated < 0 ? GAMMA_RAMP_ENTRIES : row.firstSaturated;
        for (int i = 0; i < end; ++i) ASSERT_EQ(ramp.channel[0][i], row.factor * i) << "entry " << i;
        for (int i = end; i < GAMMA_RAMP_ENTRIES; ++i) ASSERT_EQ(ramp.channel[0][i], 65535) << "entry " << i;
    }
}

TEST(BrightnessRamp, IdentityIsTheRampOfTheDefaultLevel) {
    GammaRamp identity, level100;
    BuildIdentityRamp(&identity);
    BuildBrightnessRamp(BRIGHTNESS_DEFAULT, &level100);
    for (int i = 0; i < GAMMA_RAMP_ENTRIES; ++i) ASSERT_EQ(identity.channel[0][i], i * 256);
    EXPECT_TRUE(ChannelsEqual(identity));
    EXPECT_EQ(memcmp(&identity, &level100, sizeof identity), 0);
}

TEST(BrightnessRamp, HighestLevelDoesNotOverflow) {
    GammaRamp ramp;
    BuildBrightnessRamp(65535, &ramp);
    EXPECT_EQ(ramp.channel[0][0], 0);
    EXPECT_EQ(FirstSaturated(ramp), 1);
}

TEST(BrightnessSteps, MoveByThreeAndReturn) {
    EXPECT_EQ(BrightnessStepUp(100), 103);
    EXPECT_EQ(BrightnessStepDown(100), 97);
    EXPECT_EQ(BrightnessStepDown(BrightnessStepUp(100)), 100);
}

TEST(BrightnessSteps, DownSaturatesAtOneInsteadOfWrapping) {
    uint16_t level = 100;
    for (int press = 1; press <= 33; ++press) level = BrightnessStepDown(level);
    EXPECT_EQ(level, 1);
    // The 34th press would have wrapped to 65534, a white screen.
    EXPECT_EQ(BrightnessStepDown(level), 1);
    EXPECT_EQ(BrightnessStepDown(2), 1);
    EXPECT_EQ(BrightnessStepDown(3), 1);
    EXPECT_EQ(BrightnessStepDown(4), 1);
    EXPECT_EQ(BrightnessStepDown(5), 2);
    // From the floor the steps go back up in threes.
    EXPECT_EQ(BrightnessStepUp(1), 4);
}

TEST(BrightnessSteps, UpSaturatesAtTheTop) {
    EXPECT_EQ(BrightnessStepUp(65531), 65534);
    EXPECT_EQ(BrightnessStepUp(65532), 65535);
    EXPECT_EQ(BrightnessStepUp(65534), 65535);
    EXPECT_EQ(BrightnessStepUp(65535), 65535);
    EXPECT_EQ(BrightnessStepDown(65535), 65532);
}
