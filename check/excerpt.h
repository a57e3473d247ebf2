// How much of a source line a finding shows: a line of any length (a whole file
// on one line) is cut to a window around the cause.
#pragma once

#include <cstddef>

constexpr size_t EXCERPT_UNITS = 120;

struct ExcerptBounds {
    size_t start;  // offsets into the text; end is past the last unit shown
    size_t end;
};

// At most EXCERPT_UNITS units of [lineStart, lineEnd) with cause in them, about in
// the middle when the line is longer, never splitting a surrogate pair.
ExcerptBounds ExcerptAround(const wchar_t* text, size_t lineStart, size_t lineEnd, size_t cause);
