#pragma once

#include <cstdint>

// Hands item's command to the shell as its portable half decides, and shows the
// failure, with the platform's reason, when nothing could be opened.
void RunShellCommand(int32_t index);
