// How the bytes of an XML file become UTF-16 text. Portable: the caller asks
// the platform whether the bytes look like UTF-16 and does the conversion.
#pragma once

#include <cstddef>

enum class XmlTextEncoding { Utf16, Utf8, Ansi };

struct XmlTextDecision {
    XmlTextEncoding encoding;
    size_t skipBytes;  // byte-order mark in front of the text
};

// True when all length bytes form valid UTF-8: shortest forms only, no
// surrogates, nothing above U+10FFFF, no sequence cut off at the end.
// *hasMultiByte tells whether any character took more than one byte.
bool IsValidUtf8(const unsigned char* bytes, size_t length, bool* hasMultiByte);

// looksUtf16: the platform's verdict on the bytes, consulted only when
// guessUtf16 is on. utf8Input picks UTF-8 over the ANSI code page for 8-bit
// text that is neither marked nor recognisable as UTF-8.
XmlTextDecision DecideXmlTextEncoding(const unsigned char* bytes, size_t length, bool guessUtf16, bool looksUtf16,
                                      bool utf8Input);

// The platform's side: its UTF-16 verdict and its conversion of 8-bit text to a
// new malloc'd UTF-16 text (empty when the conversion fails, null when memory is short).
struct XmlTextPlatform {
    bool (*looksUtf16)(const unsigned char* bytes, size_t length);
    wchar_t* (*convert)(const unsigned char* bytes, size_t length, bool utf8);
};

// The bytes as a new malloc'd UTF-16 text, decided with the settings and converted
// by the platform; UTF-16 text is copied up to its first zero unit, where the text
// ends for the parser. *decision tells what was decided. Null when memory is short.
wchar_t* DecodeXmlText(const unsigned char* bytes, size_t length, bool guessUtf16, bool utf8Input,
                       const XmlTextPlatform& platform, XmlTextDecision* decision);
