// What the checker asks of the platform: the file, the encoding verdict and the
// conversion the program would make, and the probes only Windows can answer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/xmlReader.h"
#include "menu/shellCommand.h"

struct CheckPlatform {
    // The whole file into a malloc'd buffer followed by four zero bytes. XML_OK,
    // XML_FILE_NOT_FOUND (*exists tells a file that is there but cannot be read) or XML_NO_DATA.
    XmlError (*readFile)(const wchar_t* path, unsigned char** bytes, size_t* length, bool* exists);
    // The platform's verdict on whether the bytes are UTF-16 little-endian text.
    bool (*looksUtf16)(const unsigned char* bytes, size_t length);
    // 8-bit text to a malloc'd, terminated UTF-16 text: UTF-8 or the ANSI code page.
    // Empty text when the conversion fails; null when memory is short.
    wchar_t* (*decode)(const unsigned char* bytes, size_t length, bool utf8);
    uint32_t ansiCodePage;
    // Probes that need the running system; null where the platform cannot answer.
    // True when another program holds the combination right now.
    bool (*hotkeyTaken)(uint32_t modifiers, uint32_t key);
    // True when a plain file path names nothing.
    bool (*pathMissing)(const wchar_t* path);
    // True when a KeyDeputy of this caption is running (and so holds its own hotkeys).
    bool (*instanceRunning)(const wchar_t* caption);
    // The program's own look-ups for shell commands (files, search path, variables).
    const ShellLookups* shellLookups;
};
