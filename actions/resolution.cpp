#include "actions/resolution.h"

#include "app/messages.h"

namespace {
// What msvcrt's swscanf skips before a number (its iswspace): the C blanks and the
// Unicode space separators, the ideographic and no-break spaces among them, but not
// U+0085, U+180E, U+200B or U+FEFF. Seen under Wine, character by character.
bool IsBlank(wchar_t c) {
    if (c == L' ' || (c >= L'\t' && c <= L'\r')) return true;
    if (c < 0xA0) return false;
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

// Optional blanks, an optional sign and at least one decimal digit; the value
// must fit in a signed 32-bit number. Advances *cursor past what was read.
bool ReadInteger(const wchar_t** cursor, int32_t* value) {
    const wchar_t* p = *cursor;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
    if (*p < L'0' || *p > L'9') return false;
    int64_t magnitude = 0;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        magnitude = magnitude * 10 + (*p - L'0');
        if (magnitude > limit) return false;
    }
    *value = int32_t(negative ? -magnitude : magnitude);
    *cursor = p;
    return true;
}
}  // namespace

bool ReadResolutionText(const wchar_t* text, int32_t* width, int32_t* height) {
    if (!text) return false;
    const wchar_t* p = text;
    for (const wchar_t* word = KD_RESOLUTION_WORD L"("; *word; ++word, ++p)
        if (*p != *word) return false;
    int32_t w = 0, h = 0;
    if (!ReadInteger(&p, &w) || *p++ != L',' || !ReadInteger(&p, &h)) return false;
    if (w <= 0 || h <= 0) return false;
    *width = w;
    *height = h;
    return true;
}
