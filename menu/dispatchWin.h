#pragma once

#include <cstdint>

// Runs command item index: cached action, resolution, named action or the shell.
// An index that belongs to no command item is ignored.
void DispatchCommand(int32_t index);
