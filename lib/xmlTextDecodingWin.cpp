#include "lib/xmlTextDecodingWin.h"

#include <windows.h>

#include <climits>
#include <cstdlib>

bool LooksLikeUtf16(const unsigned char* bytes, size_t length) {
    return length <= size_t(INT_MAX) && IsTextUnicode(bytes, int(length), nullptr) != FALSE;
}

wchar_t* ConvertToUtf16(const unsigned char* bytes, size_t length, bool utf8) {
    UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    DWORD flags = utf8 ? 0 : MB_PRECOMPOSED;
    int units = 0;
    if (length > 0 && length <= size_t(INT_MAX))
        units = MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCCH>(bytes), int(length), nullptr, 0);
    if (units < 0) units = 0;
    auto* text = static_cast<wchar_t*>(malloc((size_t(units) + 1) * sizeof(wchar_t)));
    if (!text) return nullptr;
    if (units > 0)
        units = MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCCH>(bytes), int(length), text, units);
    text[units > 0 ? units : 0] = 0;
    return text;
}
