#include "driverSupport.h"

#include <cwchar>

bool ParseNumber(const std::wstring& text, ULONG64* value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    *value = wcstoull(text.c_str(), &end, hex ? 16 : 10);
    return end && *end == 0;
}

bool ParseDriverArgs(int argc, wchar_t** argv, int first, DriverArgs* args) {
    for (int i = first; i < argc; ++i) {
        std::wstring word = argv[i];
        ULONG64 number = 0;
        bool hasValue = i + 1 < argc;
        if (word == L"--pid" || word == L"--timeout" || word == L"--seconds") {
            if (!hasValue || !ParseNumber(argv[i + 1], &number)) return false;
            ++i;
            if (word == L"--pid") args->pid = static_cast<DWORD>(number);
            else if (word == L"--timeout") args->timeoutMs = static_cast<DWORD>(number);
            else args->seconds = static_cast<DWORD>(number);
        } else if (word == L"--class") {
            if (!hasValue) return false;
            args->className = argv[++i];
        } else if (word == L"--text") {
            if (!hasValue) return false;
            args->text = argv[++i];
        } else {
            args->words.push_back(word);
        }
    }
    return true;
}

static void WriteUtf8(DWORD handleId, const std::wstring& line) {
    std::wstring text = line + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(handleId), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Print(const std::wstring& line) { WriteUtf8(STD_OUTPUT_HANDLE, line); }
void PrintError(const std::wstring& line) { WriteUtf8(STD_ERROR_HANDLE, L"kddriver: " + line); }

std::wstring WindowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowTitle(HWND window) {
    // WM_GETTEXT crosses processes for plain text; the limit keeps a hung target from blocking us.
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

DWORD WindowPid(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::wstring HandleText(HWND window) {
    wchar_t text[32];
    swprintf(text, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    return text;
}

bool PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD passed = GetTickCount() - start;
        if (passed >= ms) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return false;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}
