// Where each line of a text starts, found once, so that any number of positions
// cost a search each instead of a walk from the start of the text.
#pragma once

#include <cstddef>
#include <cstdint>

struct LineIndex {
    size_t* starts;  // offset of the first unit of each line; null when memory ran out
    size_t count;
    size_t length;  // of the whole text, where the last line ends
};

// One pass over text (up to its terminator). Release with ReleaseLineIndex.
LineIndex BuildLineIndex(const wchar_t* text);
void ReleaseLineIndex(LineIndex* index);

// Line and column of the unit at offset, counted as the parser counts them (from 1;
// a line feed starts a line, every other unit is one column). Without an index
// (memory ran out) it walks text as the parser does.
void LineAndColumnAt(const LineIndex& index, const wchar_t* text, size_t offset, int32_t* line, int32_t* column);

// Offset of the first unit of a line (from 1) and of the line feed or terminator
// that ends it; false when the text has no such line.
bool LineBounds(const LineIndex& index, const wchar_t* text, int32_t line, size_t* start, size_t* end);
