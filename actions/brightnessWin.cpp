#include "actions/brightnessWin.h"

#include <windows.h>

#include "actions/actionHandlers.h"
#include "actions/brightness.h"

uint16_t BrightnessLevel = BRIGHTNESS_DEFAULT;

namespace {
// The platform's answer is not examined: on a display that refuses ramps the
// level still moves, and 默认亮度 brings level and screen together again.
void SetScreenRamp(GammaRamp* ramp) {
    HDC screen = GetDC(nullptr);
    SetDeviceGammaRamp(screen, ramp);
    ReleaseDC(nullptr, screen);
}
}  // namespace

void ApplyBrightness() {
    GammaRamp ramp;
    BuildBrightnessRamp(BrightnessLevel, &ramp);
    SetScreenRamp(&ramp);
}

void ResetBrightnessLevel() { BrightnessLevel = BRIGHTNESS_DEFAULT; }

void ResetBrightness() {
    ResetBrightnessLevel();
    GammaRamp ramp;
    BuildIdentityRamp(&ramp);
    SetScreenRamp(&ramp);
}

void BrightnessUp() {
    BrightnessLevel = BrightnessStepUp(BrightnessLevel);
    ApplyBrightness();
}

void BrightnessDown() {
    BrightnessLevel = BrightnessStepDown(BrightnessLevel);
    ApplyBrightness();
}

void BrightnessDefault() {
    ResetBrightness();
}
