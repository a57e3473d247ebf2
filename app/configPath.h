// Where the configuration file lives: beside the executable.
#pragma once

// The module path with its last three characters replaced by "xml", counted as
// characters with no look for a dot (C:\A\B.EXE gives C:\A\B.xml). The result
// is allocated; the caller frees it with free(). Null for a null path, a path
// shorter than three characters, or when memory is short.
wchar_t* ConfigPathFromModulePath(const wchar_t* modulePath);
