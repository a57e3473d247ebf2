#include "probeClient.h"

#include "probeProtocol.h"

static std::wstring ProbePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text = path;
    size_t slash = text.find_last_of(L"\\/");
    return text.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"kdprobe.dll";
}

// Starts a thread in the target at routine and waits for it; false on time-out.
static bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE routine, void* parameter, DWORD timeoutMs) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, routine, parameter, 0, nullptr);
    if (!thread) return false;
    bool ended = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

bool RunProbe(DWORD pid, DWORD request, HWND window, DWORD timeoutMs, std::wstring* answer) {
    wchar_t name[PROBE_NAME_CHARS];
    ProbeBlockName(pid, name);
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, PROBE_BLOCK_SIZE, name);
    if (!mapping) {
        *answer = L"cannot create the shared block";
        return false;
    }
    auto* block = static_cast<ProbeBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeBlock)));
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    std::wstring path = ProbePath();
    HMODULE local = LoadLibraryW(path.c_str());
    bool ok = false;
    *answer = L"cannot open the process or load the probe";
    if (block && process && local) {
        ZeroMemory(block, sizeof(ProbeBlock));
        block->request = request;
        block->window = reinterpret_cast<ULONG64>(window);
        size_t bytes = (path.size() + 1) * sizeof(wchar_t);
        void* remotePath = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        // kernel32 sits at the same address in every process of the prefix.
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(GetProcAddress(kernel, "LoadLibraryW")));
        auto freeLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(GetProcAddress(kernel, "FreeLibrary")));
        if (remotePath && WriteProcessMemory(process, remotePath, path.c_str(), bytes, nullptr) &&
            RunRemote(process, loadLibrary, remotePath, timeoutMs) && block->moduleBase) {
            ULONG64 offset = reinterpret_cast<ULONG64>(reinterpret_cast<void*>(GetProcAddress(local, "ProbeRun"))) - reinterpret_cast<ULONG64>(local);
            auto run = reinterpret_cast<LPTHREAD_START_ROUTINE>(block->moduleBase + offset);
            if (!RunRemote(process, run, nullptr, timeoutMs)) {
                // Still running in there: leave it loaded rather than pull the code from under it.
                *answer = L"the probe did not answer in time";
            } else {
                if (block->done != 1) *answer = L"the probe found nothing to answer";
                else {
                    *answer = block->text;
                    ok = true;
                }
                // Unloaded after each request, so the next load runs DllMain again.
                RunRemote(process, freeLibrary, reinterpret_cast<void*>(block->moduleBase), timeoutMs);
            }
        } else {
            *answer = L"the probe could not be loaded into the process";
        }
        if (remotePath) VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    }
    if (local) FreeLibrary(local);
    if (process) CloseHandle(process);
    if (block) UnmapViewOfFile(block);
    CloseHandle(mapping);
    return ok;
}
