// The gamma ramp for a brightness level, and the level's steps (no platform calls).
#pragma once

#include <cstdint>

constexpr int32_t GAMMA_RAMP_ENTRIES = 256;
constexpr uint16_t BRIGHTNESS_DEFAULT = 100;
constexpr uint16_t BRIGHTNESS_STEP = 3;
constexpr uint16_t BRIGHTNESS_MIN = 1;
constexpr uint16_t BRIGHTNESS_MAX = 65535;

// Red, green, blue: the layout SetDeviceGammaRamp takes. The three are always equal.
struct GammaRamp {
    uint16_t channel[3][GAMMA_RAMP_ENTRIES];
};

// Entry i of each channel is min(((level * 256) / 100) * i, 65535).
void BuildBrightnessRamp(uint16_t level, GammaRamp* ramp);
// Entry i is i * 256: the ramp of level 100.
void BuildIdentityRamp(GammaRamp* ramp);

// The level saturates: it never wraps into a white or black screen.
uint16_t BrightnessStepUp(uint16_t level);
uint16_t BrightnessStepDown(uint16_t level);
