#include "actions/brightness.h"

namespace {
void FillRamp(uint32_t factor, GammaRamp* ramp) {
    for (int32_t i = 0; i < GAMMA_RAMP_ENTRIES; ++i) {
        uint32_t value = factor * uint32_t(i);
        if (value > 65535) value = 65535;
        for (int32_t c = 0; c < 3; ++c) ramp->channel[c][i] = uint16_t(value);
    }
}
}  // namespace

void BuildBrightnessRamp(uint16_t level, GammaRamp* ramp) {
    FillRamp(uint32_t(level) * 256 / 100, ramp);
}

void BuildIdentityRamp(GammaRamp* ramp) {
    FillRamp(256, ramp);
}

uint16_t BrightnessStepUp(uint16_t level) {
    return level > BRIGHTNESS_MAX - BRIGHTNESS_STEP ? BRIGHTNESS_MAX : uint16_t(level + BRIGHTNESS_STEP);
}

uint16_t BrightnessStepDown(uint16_t level) {
    return level < BRIGHTNESS_MIN + BRIGHTNESS_STEP ? BRIGHTNESS_MIN : uint16_t(level - BRIGHTNESS_STEP);
}
