#include "actions/resolutionText.h"

#include "app/messages.h"

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
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
