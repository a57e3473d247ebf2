#pragma once

#include "menu/shellCommand.h"

// The file system, the search path and the environment as the shell commands see
// them; shared by the program and its checker.
extern const ShellLookups PlatformShellLookups;
