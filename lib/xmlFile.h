// The whole of an opened configuration file as bytes. Portable: each platform
// opens the file its own way, and the program and the checker read it alike.
#pragma once

#include <cstddef>
#include <cstdio>

#include "lib/xmlReader.h"

// Zero bytes behind the data, enough to end it as 8-bit text and as UTF-16
// text even when its length is odd.
constexpr size_t XML_FILE_TERMINATOR_BYTES = 4;

// Reads file (null: not found) in one read and closes it. On XML_OK *bytes is a
// malloc'd buffer of *length bytes plus the terminator; otherwise null.
XmlError ReadOpenedFile(FILE* file, unsigned char** bytes, size_t* length);
