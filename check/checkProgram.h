// The checker's command line: KeyDeputyCheck [--json] [FILE].
#pragma once

#include <cstddef>
#include <cstdint>

#include "check/checkPlatform.h"

constexpr int32_t CHECK_EXIT_USAGE = 3;

// Writes text (UTF-16 units) to standard output, or to standard error when toError is set.
using CheckWrite = void (*)(const wchar_t* text, size_t length, bool toError);

// Runs the checker on the arguments after the program name; defaultPath is the file
// checked when none is given. Returns the exit code: 0 nothing above a note,
// 1 warnings only, 2 an error, 3 bad usage.
int32_t RunChecker(int32_t argc, const wchar_t* const* argv, const wchar_t* defaultPath,
                   const CheckPlatform& platform, CheckWrite write);
