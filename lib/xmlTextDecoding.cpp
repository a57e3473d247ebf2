#include "lib/xmlTextDecoding.h"

#include <cstdlib>

namespace {
bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}  // namespace

bool IsValidUtf8(const unsigned char* bytes, size_t length, bool* hasMultiByte) {
    bool multi = false;
    size_t i = 0;
    while (i < length) {
        unsigned char b = bytes[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range excludes overlong forms (E0, F0), surrogates
        // (ED) and values above U+10FFFF (F4).
        size_t extra;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return false;  // a stray continuation byte, C0, C1 or F5..FF
        }
        if (length - i <= extra) return false;
        if (bytes[i + 1] < low || bytes[i + 1] > high) return false;
        for (size_t k = 2; k <= extra; ++k)
            if (!IsContinuation(bytes[i + k])) return false;
        multi = true;
        i += extra + 1;
    }
    if (hasMultiByte) *hasMultiByte = multi;
    return true;
}

XmlTextDecision DecideXmlTextEncoding(const unsigned char* bytes, size_t length, bool guessUtf16, bool looksUtf16,
                                      bool utf8Input) {
    if (guessUtf16 && looksUtf16) {
        bool marked = length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xEF && bytes[1] == 0xFF));
        return {XmlTextEncoding::Utf16, marked ? size_t(2) : size_t(0)};
    }
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return {XmlTextEncoding::Utf8, 3};
    bool multi = false;
    if (IsValidUtf8(bytes, length, &multi) && multi) return {XmlTextEncoding::Utf8, 0};
    return {utf8Input ? XmlTextEncoding::Utf8 : XmlTextEncoding::Ansi, 0};
}

wchar_t* DecodeXmlText(const unsigned char* bytes, size_t length, bool guessUtf16, bool utf8Input,
                       const XmlTextPlatform& platform, XmlTextDecision* decision) {
    bool looksUtf16 = guessUtf16 && platform.looksUtf16(bytes, length);
    *decision = DecideXmlTextEncoding(bytes, length, guessUtf16, looksUtf16, utf8Input);
    const unsigned char* start = bytes + decision->skipBytes;
    size_t rest = length - decision->skipBytes;
    if (decision->encoding != XmlTextEncoding::Utf16)
        return platform.convert(start, rest, decision->encoding == XmlTextEncoding::Utf8);
    // Little-endian units, whatever the width of wchar_t here.
    size_t units = rest / 2;
    auto* text = static_cast<wchar_t*>(malloc((units + 1) * sizeof(wchar_t)));
    if (!text) return nullptr;
    size_t n = 0;
    while (n < units && (start[2 * n] | start[2 * n + 1])) {
        text[n] = wchar_t(start[2 * n] | (start[2 * n + 1] << 8));
        ++n;
    }
    text[n] = 0;
    return text;
}
