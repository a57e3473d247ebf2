// The program's icon, drawn in code so that app/keydeputy.ico can be rebuilt
// byte for byte: a keyboard key with the letter K, at 48, 32 and 16 pixels.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int ICON_IMAGE_COUNT = 3;
constexpr int ICON_SIZES[ICON_IMAGE_COUNT] = {48, 32, 16};

// One image inside the .ico: header, 32-bit BGRA rows, then the 1-bit AND mask.
constexpr size_t IconImageBytes(int size) {
    return 40 + size_t(size) * size * 4 + size_t((size + 31) / 32 * 4) * size;
}

constexpr size_t ICON_FILE_SIZE =
    6 + 16 * ICON_IMAGE_COUNT + IconImageBytes(48) + IconImageBytes(32) + IconImageBytes(16);

// Writes the complete .ico file into out; returns the byte count, or 0 when
// capacity is below ICON_FILE_SIZE (nothing is written then).
size_t BuildIconFile(uint8_t* out, size_t capacity);
