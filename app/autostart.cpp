#include "app/autostart.h"

#include "lib/textCopy.h"

namespace {
void DeleteFrom(const RunKeyCalls& calls, RunKeyRoot root, const wchar_t* name) {
    if (void* key = calls.open(root, false)) {
        calls.deleteValue(key, name);
        calls.close(key);
    }
}
}  // namespace

void WriteRunValue(const RunKeyCalls& calls, const wchar_t* name, const wchar_t* data) {
    if (void* machine = calls.open(RUN_KEY_MACHINE, true)) {
        calls.setText(machine, name, data);
        calls.close(machine);
    } else if (!calls.holds(RUN_KEY_MACHINE, name, data)) {
        if (void* user = calls.open(RUN_KEY_USER, true)) {
            calls.setText(user, name, data);
            calls.close(user);
        }
        return;
    }
    // The machine's value starts the program: a user's copy would start it twice.
    DeleteFrom(calls, RUN_KEY_USER, name);
}

bool DeleteRunValue(const RunKeyCalls& calls, const wchar_t* name) {
    // An earlier run may have taken either road, so both are cleaned.
    DeleteFrom(calls, RUN_KEY_MACHINE, name);
    DeleteFrom(calls, RUN_KEY_USER, name);
    return calls.holds(RUN_KEY_MACHINE, name, nullptr);
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
