#include "app/appInstance.h"

#include <cstdlib>

HINSTANCE AppInstance = nullptr;

wchar_t* ModulePath() {
    // GetModuleFileNameW cuts silently when the buffer is short: grow until it fits.
    DWORD size = 256;
    for (;;) {
        wchar_t* buffer = static_cast<wchar_t*>(malloc(size * sizeof(wchar_t)));
        if (!buffer) return nullptr;
        DWORD length = GetModuleFileNameW(AppInstance, buffer, size);
        if (length == 0) {
            free(buffer);
            return nullptr;
        }
        if (length < size - 1) return buffer;
        free(buffer);
        if (size >= 32768 * 4) return nullptr;
        size *= 2;
    }
}
