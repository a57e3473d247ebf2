// The platform's own words for an error code, as a box shows them to the user.
#pragma once

#include <windows.h>

#include <cstddef>

// The system's text for error in the user's language, without the line break it ends
// with; the code's number where the system has no text. Cut to capacity (at least 12).
void SystemErrorText(DWORD error, wchar_t* reason, size_t capacity);
