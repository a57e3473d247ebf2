#include "check/excerpt.h"

namespace {
bool IsLowHalf(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

ExcerptBounds ExcerptAround(const wchar_t* text, size_t lineStart, size_t lineEnd, size_t cause) {
    if (lineEnd - lineStart <= EXCERPT_UNITS) return {lineStart, lineEnd};
    if (cause < lineStart) cause = lineStart;
    if (cause > lineEnd) cause = lineEnd;
    size_t start = cause - lineStart > EXCERPT_UNITS / 2 ? cause - EXCERPT_UNITS / 2 : lineStart;
    if (lineEnd - start < EXCERPT_UNITS) start = lineEnd - EXCERPT_UNITS;
    size_t end = start + EXCERPT_UNITS;
    if (start > lineStart && IsLowHalf(text[start])) ++start;
    if (end < lineEnd && IsLowHalf(text[end])) --end;
    return {start, end};
}
