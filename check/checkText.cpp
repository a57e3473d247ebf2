#include "check/checkText.h"

#include "lib/textCopy.h"

void JoinText(wchar_t* out, size_t capacity, std::initializer_list<const wchar_t*> pieces) {
    if (!out || capacity == 0) return;
    out[0] = 0;
    for (const wchar_t* piece : pieces)
        if (piece && !AppendTextCut(out, capacity, piece)) return;
}


void AppendUnits(OutText* out, const wchar_t* text, size_t length) {
    if (out->failed || !text) return;
    if (length == SIZE_MAX || !out->reserve(length + 1)) {
        out->failed = true;
        return;
    }
    for (size_t i = 0; i < length; ++i) out->items[out->count + i] = text[i];
    out->count += length;
    out->items[out->count] = 0;
}

void Append(OutText* out, const wchar_t* text) { AppendUnits(out, text, TextLength(text)); }

void AppendNumber(OutText* out, int64_t value) {
    wchar_t digits[22];
    FormatNumber(digits, value);
    Append(out, digits);
}

