// Reading a configuration for the checker on Windows, as the program reads it.
#pragma once

#include <cstddef>

#include "lib/xmlReader.h"

// _wfopen "rb" and one read of the whole file; *exists tells a file that is there
// but cannot be read from one that is missing.
XmlError ReadCheckFileWin(const wchar_t* path, unsigned char** bytes, size_t* length, bool* exists);
