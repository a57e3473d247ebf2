#include "check/hostPlatform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <sys/stat.h>

#include "lib/textCopy.h"
#include "lib/xmlFile.h"
#include "lib/xmlTextDecoding.h"

namespace {

XmlError HostReadFile(const wchar_t* path, unsigned char** bytes, size_t* length, bool* exists) {
    *bytes = nullptr;
    *length = 0;
    std::string name = Utf8FromUnits(path, TextLength(path));
    struct stat info;
    *exists = stat(name.c_str(), &info) == 0;
    // Windows cannot open a folder as a file.
    if (!*exists || S_ISDIR(info.st_mode)) return XML_FILE_NOT_FOUND;
    return ReadOpenedFile(fopen(name.c_str(), "rb"), bytes, length);
}

// UTF-8 to UTF-16 units; a byte that starts no valid sequence becomes U+FFFD.
wchar_t* DecodeUtf8(const unsigned char* p, size_t n) {
    auto* text = static_cast<wchar_t*>(malloc((n + 1) * sizeof(wchar_t)));
    if (!text) return nullptr;
    size_t k = 0;
    for (size_t i = 0; i < n;) {
        unsigned c = p[i];
        unsigned extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        if (extra >= n - i || !IsValidUtf8(p + i, extra + 1, nullptr)) {
            text[k++] = 0xFFFD;
            ++i;
            continue;
        }
        unsigned value = extra == 0 ? c : c & (0x3F >> extra);
        for (unsigned j = 1; j <= extra; ++j) value = value << 6 | (p[i + j] & 0x3F);
        i += extra + 1;
        if (value >= 0x10000) {
            text[k++] = wchar_t(0xD800 + ((value - 0x10000) >> 10));
            text[k++] = wchar_t(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            text[k++] = wchar_t(value);
        }
    }
    text[k] = 0;
    return text;
}

// Code page 936 through iconv; a byte it cannot read becomes U+FFFD.
wchar_t* DecodeAnsi(const unsigned char* p, size_t n) {
    auto* text = static_cast<wchar_t*>(malloc((n + 1) * sizeof(wchar_t)));
    if (!text) return nullptr;
    size_t k = 0;
    iconv_t converter = iconv_open("UTF-16LE", "CP936");
    if (converter == iconv_t(-1)) {
        text[0] = 0;
        return text;
    }
    char* in = const_cast<char*>(reinterpret_cast<const char*>(p));
    size_t inLeft = n;
    while (inLeft > 0) {
        unsigned char pair[4];
        char* out = reinterpret_cast<char*>(pair);
        size_t outLeft = sizeof pair;
        size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        size_t produced = sizeof pair - outLeft;
        for (size_t b = 0; b + 1 < produced; b += 2) text[k++] = wchar_t(pair[b] | (pair[b + 1] << 8));
        if (result == size_t(-1) && errno != E2BIG) {
            text[k++] = 0xFFFD;
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    text[k] = 0;
    return text;
}

wchar_t* HostDecode(const unsigned char* bytes, size_t length, bool utf8) {
    return utf8 ? DecodeUtf8(bytes, length) : DecodeAnsi(bytes, length);
}

void AppendUtf8(std::string* out, uint32_t value) {
    if (value < 0x80) {
        *out += char(value);
    } else if (value < 0x800) {
        *out += char(0xC0 | (value >> 6));
        *out += char(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        *out += char(0xE0 | (value >> 12));
        *out += char(0x80 | ((value >> 6) & 0x3F));
        *out += char(0x80 | (value & 0x3F));
    } else {
        *out += char(0xF0 | (value >> 18));
        *out += char(0x80 | ((value >> 12) & 0x3F));
        *out += char(0x80 | ((value >> 6) & 0x3F));
        *out += char(0x80 | (value & 0x3F));
    }
}

}  // namespace

bool HostLooksUtf16(const unsigned char* bytes, size_t length) {
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return true;
    if (length < 2 || length % 2 != 0) return false;
    size_t zeroHigh = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        if (bytes[i] == 0 && bytes[i + 1] == 0) return false;
        if (bytes[i + 1] == 0) ++zeroHigh;
    }
    return zeroHigh * 2 >= length / 2;
}

const CheckPlatform HostCheckPlatform = {HostReadFile, HostLooksUtf16, HostDecode, 936, nullptr, nullptr, nullptr, nullptr};

std::string Utf8FromUnits(const wchar_t* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        uint32_t unit = uint32_t(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && uint32_t(text[i + 1]) >= 0xDC00 &&
            uint32_t(text[i + 1]) <= 0xDFFF) {
            AppendUtf8(&out, 0x10000 + ((unit - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(&out, 0xFFFD);
        } else {
            AppendUtf8(&out, unit);
        }
    }
    return out;
}

std::wstring UnitsFromUtf8(const char* text) {
    size_t n = strlen(text);
    wchar_t* units = DecodeUtf8(reinterpret_cast<const unsigned char*>(text), n);
    std::wstring result;
    if (units) {
        result = units;
        free(units);
    }
    return result;
}
