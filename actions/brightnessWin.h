// Screen brightness through the gamma ramp.
#pragma once

#include <cstdint>

extern uint16_t BrightnessLevel;  // percent of the neutral ramp, 100 neutral

void ApplyBrightness();
void ResetBrightness();
