#include "app/autostart.h"

#include "lib/textCopy.h"

void WriteRunValue(const RunKeyCalls& calls, const wchar_t* name, const wchar_t* data) {
    if (void* machine = calls.open(RUN_KEY_MACHINE, true)) {
        calls.setText(machine, name, data);
        calls.close(machine);
        // A value left by an earlier run without elevation would start the program twice at log-on.
        if (void* user = calls.open(RUN_KEY_USER, false)) {
            calls.deleteValue(user, name);
            calls.close(user);
        }
    } else if (void* user = calls.open(RUN_KEY_USER, true)) {
        calls.setText(user, name, data);
        calls.close(user);
    }
}

void DeleteRunValue(const RunKeyCalls& calls, const wchar_t* name) {
    // An earlier run may have taken either road, so both are cleaned.
    const RunKeyRoot roots[] = {RUN_KEY_MACHINE, RUN_KEY_USER};
    for (RunKeyRoot root : roots) {
        if (void* key = calls.open(root, false)) {
            calls.deleteValue(key, name);
            calls.close(key);
        }
    }
}

bool QuoteRunPath(const wchar_t* path, wchar_t* out, size_t capacity) {
    if (!out || capacity == 0) return false;
    out[0] = 0;
    if (TextLength(path) + 3 > capacity) return false;
    AppendTextCut(out, capacity, L"\"");
    AppendTextCut(out, capacity, path);
    AppendTextCut(out, capacity, L"\"");
    return true;
}
