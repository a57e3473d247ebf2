#include "platform/systemError.h"

#include "lib/textCopy.h"

void SystemErrorText(DWORD error, wchar_t* reason, size_t capacity) {
    DWORD room = capacity > 0xFFFF ? 0xFFFF : DWORD(capacity);
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  reason, room, nullptr);
    while (length > 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n' || reason[length - 1] == L' '))
        --length;
    if (length > 0) {
        reason[length] = 0;
        return;
    }
    FormatNumber(reason, int64_t(error));
}
