// Screen brightness through the gamma ramp.
#pragma once

#include <cstdint>

extern uint16_t BrightnessLevel;  // percent of the neutral ramp, 100 neutral

void ApplyBrightness();
// Level 100 and the identity ramp on the screen.
void ResetBrightness();
// Level 100 alone: at start the screen keeps whatever ramp it has.
void ResetBrightnessLevel();
