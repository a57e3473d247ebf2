// Loading the configuration at start: the program cannot run without it.
#pragma once

#include "lib/xmlReader.h"

// Exit code of a start refused because the configuration could not be used.
constexpr int LOAD_ERROR_EXIT_CODE = 255;

// The configuration's tree; when the file cannot be used, shows the load report
// (no owner, topmost) and ends the process with LOAD_ERROR_EXIT_CODE.
XmlElement LoadConfigOrEnd(const wchar_t* path);
