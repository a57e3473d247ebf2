// The cause of a refused file as the program's load report adds it: where the
// checker finds it and how to mend it.
#pragma once

#include <cstddef>

#include "check/checkReport.h"

// Appends to text (capacity units, terminator included) the line "原因：" with the
// position and the finding, and the line "改法：" with its help: the checker's first
// error that explains more than the parser's own report, else that report's help.
// Nothing when the report holds no error.
void AppendLoadCause(const CheckReport& report, wchar_t* text, size_t capacity);
