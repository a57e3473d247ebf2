// The platform's side of reading a configuration's bytes as text: its UTF-16
// verdict and its conversions. The program and KeyDeputyCheck.exe both compile it,
// so the checker reads a file exactly as the program does.
#pragma once

#include <cstddef>

#include "lib/xmlTextDecoding.h"

// IsTextUnicode's verdict on the bytes; false for a length it cannot take.
bool LooksLikeUtf16(const unsigned char* bytes, size_t length);

// UTF-8 or the ANSI code page to a new malloc'd UTF-16 text; a failed conversion
// gives empty text, a failed allocation null.
wchar_t* ConvertToUtf16(const unsigned char* bytes, size_t length, bool utf8);

// The two above, as DecodeXmlText takes them.
constexpr XmlTextPlatform XML_TEXT_PLATFORM_WIN = {LooksLikeUtf16, ConvertToUtf16};
