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
};

// Writes the value under the machine's Run key, and then removes the user's copy,
// or under the user's key when the machine's cannot be opened for writing (a
// process without elevation).
void WriteRunValue(const RunKeyCalls& calls, const wchar_t* name, const wchar_t* data);
// Deletes the value from both Run keys; either may be refused or lack it.
void DeleteRunValue(const RunKeyCalls& calls, const wchar_t* name);

// The path in double quotes, so that a path with a space names one program.
// False, with out empty, when it does not fit capacity (terminator included).
bool QuoteRunPath(const wchar_t* path, wchar_t* out, size_t capacity);
