// Turning fuzz bytes into the reader's input: UTF-16 code units, one per wchar_t.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Little-endian pairs of bytes, NUL-terminated; an odd last byte is dropped. The
// block is exactly as long as the text, so any read past the NUL is caught. free() it.
inline wchar_t* FuzzUtf16Text(const uint8_t* data, size_t size) {
    size_t units = size / 2;
    auto* text = static_cast<wchar_t*>(malloc((units + 1) * sizeof(wchar_t)));
    if (!text) abort();
    for (size_t i = 0; i < units; ++i) text[i] = wchar_t(data[2 * i] | (data[2 * i + 1] << 8));
    text[units] = 0;
    return text;
}

// A failed check is a finding: abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                      \
        }                                                                                 \
    } while (0)
