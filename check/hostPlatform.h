// The checker's platform on the host (POSIX): files by UTF-8 name, the ANSI code
// page 936 through iconv, an approximation of the Windows UTF-16 verdict, no probes.
#pragma once

#include <cstddef>
#include <string>

#include "check/checkPlatform.h"

extern const CheckPlatform HostCheckPlatform;

// Close to what IsTextUnicode answers for a configuration file: a UTF-16 byte-order
// mark, or an even length with zero in at least half of the high bytes and no zero low byte.
bool HostLooksUtf16(const unsigned char* bytes, size_t length);

// UTF-16 units to UTF-8 (pairs joined, lone halves as U+FFFD), and back for names.
std::string Utf8FromUnits(const wchar_t* text, size_t length);
std::wstring UnitsFromUtf8(const char* text);
