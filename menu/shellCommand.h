// How a command for the shell is run: variables expanded, relative paths taken from
// the program's folder, and a line the shell cannot open whole read as a program
// followed by its arguments. Decided by looking only; nothing is started here.
#pragma once

#include <cstddef>
#include <cstdint>

// Room of each part of a prepared command; a part that does not fit is refused, never cut.
constexpr size_t SHELL_TEXT_SIZE = 2048;

enum class PathKind { None, File, Folder };

// What the decisions ask of the platform.
struct ShellLookups {
    void* context;
    PathKind (*pathKind)(void* context, const wchar_t* path);
    // The full path of a bare program name on the search path (the executable
    // extensions tried); false when it is not found or does not fit.
    bool (*searchProgram)(void* context, const wchar_t* name, wchar_t* out, size_t capacity);
    // An environment variable's value; false when it is not set or does not fit.
    bool (*variable)(void* context, const wchar_t* name, wchar_t* out, size_t capacity);
};

struct ShellCommand {
    wchar_t file[SHELL_TEXT_SIZE];
    wchar_t parameters[SHELL_TEXT_SIZE];  // empty for none
    wchar_t folder[SHELL_TEXT_SIZE];      // the started program's working folder
};

// %NAME% replaced by the variable's value; an unset name, a lone % and %% stay as
// written. False when the result does not fit.
bool ExpandVariables(const wchar_t* text, const ShellLookups& lookups, wchar_t* out, size_t capacity);

// A path that names no drive, share, root or scheme (http:, mailto:, shell:).
bool IsRelativePath(const wchar_t* path);

// folder + "\" + path for a relative path, else path unchanged. False when it does not fit.
bool JoinPath(const wchar_t* folder, const wchar_t* path, wchar_t* out, size_t capacity);

// The command as the shell gets it first, whole: command, parameters (参数, may be
// null) and folder (起始位置, may be null) expanded; a relative command that exists
// under baseFolder, and a relative folder, taken from there; no folder means
// baseFolder. False when a part does not fit.
bool PrepareWholeCommand(const wchar_t* command, const wchar_t* parameters, const wchar_t* folder,
                         const wchar_t* baseFolder, const ShellLookups& lookups, ShellCommand* out);

// Platform error codes after which a line is read as a program and its arguments:
// the whole text named no file or path.
constexpr uint32_t SHELL_FILE_NOT_FOUND = 2;
constexpr uint32_t SHELL_PATH_NOT_FOUND = 3;
constexpr uint32_t SHELL_INVALID_NAME = 123;  // quotes in a file name

// True when text, as the whole command was given, could be a program and arguments:
// it begins with a double quote or holds a blank outside double quotes.
bool CouldSplit(const wchar_t* text);
bool SplitAfterError(uint32_t error, const wchar_t* text);

// Reads whole.file (as PrepareWholeCommand made it) as a program and its arguments:
// a first part in double quotes is the program; otherwise the longest part up to a
// blank outside quotes that names an existing file, or a program on the search path.
// The arguments come before whole.parameters; the folder stays. False when no part
// names a program.
bool SplitCommand(const ShellCommand& whole, const wchar_t* baseFolder, const ShellLookups& lookups,
                  ShellCommand* out);
