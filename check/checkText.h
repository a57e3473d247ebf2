// Small text building blocks of the checker's messages and reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "lib/growArray.h"

// Joins the pieces into out (capacity units, terminator included), skipping null
// pieces, cut to fit.
void JoinText(wchar_t* out, size_t capacity, std::initializer_list<const wchar_t*> pieces);


// A growing UTF-16 text, always terminated once anything is in it; failed tells that
// memory ran out and something is missing.
struct OutText : GrowArray<wchar_t, size_t, 4096> {
    bool failed = false;
};

void Append(OutText* out, const wchar_t* text);
void AppendUnits(OutText* out, const wchar_t* text, size_t length);
void AppendNumber(OutText* out, int64_t value);
