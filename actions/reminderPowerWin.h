#pragma once

#include <cstdint>

// Enables the shutdown privilege and shuts down, restarts or logs off (forced) for
// choice 1, 2 or 3; any other value does nothing.
void RunPowerChoice(int32_t choice);
