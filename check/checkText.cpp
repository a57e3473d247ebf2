#include "check/checkText.h"

#include <cstdlib>

#include "lib/textCopy.h"

void JoinText(wchar_t* out, size_t capacity, std::initializer_list<const wchar_t*> pieces) {
    if (!out || capacity == 0) return;
    out[0] = 0;
    for (const wchar_t* piece : pieces)
        if (piece && !AppendTextCut(out, capacity, piece)) return;
}


void AppendUnits(OutText* out, const wchar_t* text, size_t length) {
    if (out->failed || !text) return;
    if (out->length + length + 1 > out->capacity) {
        size_t capacity = out->capacity ? out->capacity : 4096;
        while (out->length + length + 1 > capacity) capacity *= 2;
        void* grown = realloc(out->data, capacity * sizeof(wchar_t));
        if (!grown) {
            out->failed = true;
            return;
        }
        out->data = static_cast<wchar_t*>(grown);
        out->capacity = capacity;
    }
    for (size_t i = 0; i < length; ++i) out->data[out->length + i] = text[i];
    out->length += length;
    out->data[out->length] = 0;
}

void Append(OutText* out, const wchar_t* text) { AppendUnits(out, text, TextLength(text)); }

void AppendNumber(OutText* out, int64_t value) {
    wchar_t digits[22];
    FormatNumber(digits, value);
    Append(out, digits);
}

void ReleaseOutText(OutText* out) {
    free(out->data);
    *out = {nullptr, 0, 0, false};
}
