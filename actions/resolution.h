// Reading the 分辨率(width,height) command text (no platform calls).
#pragma once

#include <cstdint>

// Reads the text as "分辨率(%d,%d)" does: the text begins with 分辨率 and an ASCII
// '(', then blanks (those msvcrt's swscanf skips, U+3000 and U+00A0 among them)
// may stand before each number, the comma follows the width
// at once, and whatever comes after the height is not read. True only when both
// numbers are read, fit in 32 bits and are positive; the outputs are then set.
bool ReadResolutionText(const wchar_t* text, int32_t* width, int32_t* height);
