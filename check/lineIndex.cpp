#include "check/lineIndex.h"

#include <climits>
#include <cstdlib>

#include "lib/xmlReader.h"

LineIndex BuildLineIndex(const wchar_t* text) {
    LineIndex index = {nullptr, 0, 0};
    if (!text) return index;
    size_t lines = 1;
    for (; text[index.length]; ++index.length)
        if (text[index.length] == L'\n') ++lines;
    index.starts = static_cast<size_t*>(malloc(lines * sizeof(size_t)));
    if (!index.starts) return index;
    index.starts[index.count++] = 0;
    for (size_t i = 0; text[i]; ++i)
        if (text[i] == L'\n') index.starts[index.count++] = i + 1;
    return index;
}

void ReleaseLineIndex(LineIndex* index) {
    free(index->starts);
    index->starts = nullptr;
    index->count = 0;
    index->length = 0;
}

void LineAndColumnAt(const LineIndex& index, const wchar_t* text, size_t offset, int32_t* line, int32_t* column) {
    if (!index.starts) {
        XmlLineAndColumn(text, offset, line, column);
        return;
    }
    // The last line start at or before offset.
    size_t low = 0, high = index.count;
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        if (index.starts[middle] <= offset)
            low = middle;
        else
            high = middle;
    }
    size_t units = offset - index.starts[low];
    *line = low + 1 > size_t(INT32_MAX) ? INT32_MAX : int32_t(low + 1);
    *column = units + 1 > size_t(INT32_MAX) ? INT32_MAX : int32_t(units + 1);
}

bool LineBounds(const LineIndex& index, const wchar_t* text, int32_t line, size_t* start, size_t* end) {
    if (!text || line < 1) return false;
    if (index.starts) {
        if (size_t(line) > index.count) return false;
        *start = index.starts[line - 1];
        // A line of megabytes is not walked again for each finding on it.
        *end = size_t(line) < index.count ? index.starts[line] - 1 : index.length;
        return true;
    } else {
        const wchar_t* p = text;
        for (int32_t l = 1; l < line; ++p) {
            if (!*p) return false;
            if (*p == L'\n') ++l;
        }
        *start = size_t(p - text);
    }
    size_t e = *start;
    while (text[e] && text[e] != L'\n') ++e;
    *end = e;
    return true;
}
