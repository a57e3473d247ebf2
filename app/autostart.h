// Where the autostart value is written and removed. The registry calls come in
// through a table, so the choice between the two Run keys can be exercised
// without a registry that refuses anything.
#pragma once

#include <cstddef>

enum RunKeyRoot { RUN_KEY_MACHINE, RUN_KEY_USER };

struct RunKeyCalls {
    // The Run key under root, opened for writing (created first when create is
    // set); null when refused or absent.
    void* (*open)(RunKeyRoot root, bool create);
    void (*setText)(void* key, const wchar_t* name, const wchar_t* data);
    void (*deleteValue)(void* key, const wchar_t* name);
    void (*close)(void* key);
    // Whether the Run key under root, read only, holds the value; with data, only
    // when it holds exactly that text (ASCII letters in any case).
    bool (*holds)(RunKeyRoot root, const wchar_t* name, const wchar_t* data);
};

// Writes the value under the machine's Run key, and then removes the user's copy.
// A process that cannot write the machine's key (no elevation) writes the user's,
// unless the machine's already holds this very value: an elevated run wrote it,
// and a second value would start the program twice at log-on.
void WriteRunValue(const RunKeyCalls& calls, const wchar_t* name, const wchar_t* data);
// Deletes the value from both Run keys; either may be refused or lack it. True
// when the machine's key still holds it (only an elevated run can remove it).
bool DeleteRunValue(const RunKeyCalls& calls, const wchar_t* name);

// The path in double quotes, so that a path with a space names one program.
// False, with out empty, when it does not fit capacity (terminator included).
bool QuoteRunPath(const wchar_t* path, wchar_t* out, size_t capacity);
