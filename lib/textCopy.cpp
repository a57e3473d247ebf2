#include "lib/textCopy.h"

size_t TextLength(const wchar_t* text) {
    size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

static bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Appends length units of source under the rules of AppendTextCut.
static bool AppendUnitsCut(wchar_t* dest, size_t capacity, const wchar_t* source, size_t length) {
    if (!dest || capacity == 0) return false;
    size_t used = TextLength(dest);
    if (used >= capacity) {  // never trust a missing terminator
        dest[capacity - 1] = 0;
        return false;
    }
    size_t room = capacity - 1 - used;
    size_t take = length <= room ? length : room;
    // A cut that would keep a lone high surrogate drops it too.
    if (take < length && take > 0 && IsHighSurrogate(source[take - 1])) --take;
    for (size_t i = 0; i < take; ++i) dest[used + i] = source[i];
    dest[used + take] = 0;
    return take == length;
}

bool AppendTextCut(wchar_t* dest, size_t capacity, const wchar_t* source) {
    return AppendUnitsCut(dest, capacity, source, TextLength(source));
}

bool CopyTextCut(wchar_t* dest, size_t capacity, const wchar_t* source) {
    if (!dest || capacity == 0) return false;
    dest[0] = 0;
    return AppendTextCut(dest, capacity, source);
}

bool TextEquals(const wchar_t* a, const wchar_t* b) {
    if (!a || !b) return a == b;
    while (*a && *a == *b) { ++a; ++b; }
    return *a == *b;
}

static wchar_t Same(wchar_t c) { return c; }

static bool Contains(const wchar_t* haystack, const wchar_t* needle, wchar_t (*fold)(wchar_t)) {
    if (!needle || !*needle) return true;
    if (!haystack) return false;
    for (; *haystack; ++haystack) {
        size_t i = 0;
        while (needle[i] && fold(haystack[i]) == fold(needle[i])) ++i;
        if (!needle[i]) return true;
    }
    return false;
}

bool TextContains(const wchar_t* haystack, const wchar_t* needle) { return Contains(haystack, needle, Same); }

bool TextContainsIgnoreAsciiCase(const wchar_t* haystack, const wchar_t* needle) {
    return Contains(haystack, needle, FoldAscii);
}

bool TextEqualsIgnoreAsciiCase(const wchar_t* a, const wchar_t* b) {
    if (!a || !b) return a == b;
    while (*a && FoldAscii(*a) == FoldAscii(*b)) { ++a; ++b; }
    return FoldAscii(*a) == FoldAscii(*b);
}

void FormatOneText(const wchar_t* format, const wchar_t* text, wchar_t* out, size_t capacity) {
    if (!CopyTextCut(out, capacity, nullptr)) return;
    const wchar_t* rest = format ? format : L"";
    const wchar_t* slot = rest;
    while (*slot && !(slot[0] == L'%' && slot[1] == L's')) ++slot;
    if (*slot) {
        // Once a piece is cut nothing after it may slip into the room a dropped half left.
        if (!AppendUnitsCut(out, capacity, rest, size_t(slot - rest)) || !AppendTextCut(out, capacity, text)) return;
        rest = slot + 2;
    }
    AppendTextCut(out, capacity, rest);
}

void FormatNumber(wchar_t* out, int64_t value) {
    wchar_t digits[21];
    int n = 0;
    uint64_t v = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    do {
        digits[n++] = wchar_t(L'0' + v % 10);
        v /= 10;
    } while (v);
    int k = 0;
    if (value < 0) out[k++] = L'-';
    while (n) out[k++] = digits[--n];
    out[k] = 0;
}

size_t PathFolderLength(const wchar_t* path) {
    size_t last = 0;
    bool found = false;
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == L'\\' || path[i] == L'/') {
            last = i;
            found = true;
        }
    if (!found) return 0;
    return (last == 0 || path[last - 1] == L':') ? last + 1 : last;
}
