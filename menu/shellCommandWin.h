#pragma once

#include "menu/commandItems.h"

// Hands item's command to the shell as its portable half decides, and shows the
// failure, with the platform's reason, when nothing could be opened.
void RunShellCommand(const CommandItem& item);
