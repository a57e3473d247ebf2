#include "check/checkFileWin.h"

#include <windows.h>

#include <cstdio>

#include "lib/xmlFile.h"

XmlError ReadCheckFileWin(const wchar_t* path, unsigned char** bytes, size_t* length, bool* exists) {
    *bytes = nullptr;
    *length = 0;
    DWORD attributes = GetFileAttributesW(path);
    *exists = attributes != INVALID_FILE_ATTRIBUTES;
    return ReadOpenedFile(_wfopen(path, L"rb"), bytes, length);
}
