#include "app/runValue.h"

#include "lib/textCopy.h"

void WriteRunValue(const RunKeyCalls& calls, const wchar_t* name, const wchar_t* data) {
    void* key = calls.open(RUN_KEY_MACHINE, true);
    if (!key) key = calls.open(RUN_KEY_USER, true);
    if (!key) return;
    calls.setText(key, name, data);
    calls.close(key);
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
