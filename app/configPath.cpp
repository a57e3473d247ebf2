#include "app/configPath.h"

#include <cstdlib>

#include "lib/textCopy.h"

wchar_t* ConfigPathFromModulePath(const wchar_t* modulePath) {
    size_t length = TextLength(modulePath);
    if (length < 3) return nullptr;
    wchar_t* path = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    if (!path) return nullptr;
    size_t kept = length - 3;
    for (size_t i = 0; i < kept; ++i) path[i] = modulePath[i];
    path[kept] = L'x';
    path[kept + 1] = L'm';
    path[kept + 2] = L'l';
    path[kept + 3] = 0;
    return path;
}
