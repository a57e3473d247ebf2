// Libraries loaded at run time: from the system folder only, once, and never from the
// program's folder or the current one once the search is restricted.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>

#include "platform/systemLibrary.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
ImportPatch* LoadExPatch;
bool RefuseSearchFlags;

HMODULE WINAPI LoggingLoadLibraryEx(LPCWSTR name, HANDLE file, DWORD flags) {
    LogCall(L"LoadLibraryExW %ls %lx", name, flags);
    // As a loader without the search flags answers them.
    if (RefuseSearchFlags && (flags & LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return reinterpret_cast<decltype(&LoadLibraryExW)>(LoadExPatch->original())(name, file, flags);
}

struct LoadRecorder {
    ImportPatch patch{"kernel32.dll", "LoadLibraryExW", AsPointer(&LoggingLoadLibraryEx)};
    explicit LoadRecorder(bool refuseFlags) {
        LoadExPatch = &patch;
        RefuseSearchFlags = refuseFlags;
        ClearCallLog();
    }
};

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length);
}
}  // namespace

TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
    LoadRecorder recorder(false);
    ASSERT_TRUE(recorder.patch.active());
    HMODULE module = LoadSystemLibrary(L"msimg32.dll");
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(LoadSystemLibrary(L"kdNoSuchLibrary.dll"), nullptr);
    // A missing library is not looked for anywhere else.
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"LoadLibraryExW msimg32.dll 800",
                                                         L"LoadLibraryExW kdNoSuchLibrary.dll 800"}));
    if (module) FreeLibrary(module);
}

TEST(SystemLibrary, WithoutTheSearchFlagsTheSystemFolderIsNamed) {
    LoadRecorder recorder(true);
    HMODULE module = LoadSystemLibrary(L"msimg32.dll");
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"LoadLibraryExW msimg32.dll 800",
                                                         L"LoadLibraryExW " + SystemFolder() + L"\\msimg32.dll 8"}));
    if (module) FreeLibrary(module);
    // A name that would not fit beside the folder is not cut short into another one.
    ClearCallLog();
    std::wstring longName(MAX_PATH - SystemFolder().size() - 1, L'a');
    EXPECT_EQ(LoadSystemLibrary(longName.c_str()), nullptr);
    EXPECT_EQ(CallLogLines().size(), 1u);
}

TEST(SystemLibrary, KeptLibraryIsLoadedOnceAndGivesItsOwnEntryPoints) {
    LoadRecorder recorder(false);
    FARPROC first = FindKeptFunction(SystemLibrary::Winmm, "mciSendStringW");
    FARPROC again = FindKeptFunction(SystemLibrary::Winmm, "mciSendStringW");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first, GetProcAddress(GetModuleHandleW(L"winmm.dll"), "mciSendStringW"));
    EXPECT_EQ(FindKeptFunction(SystemLibrary::Winmm, "kdNoSuchFunction"), nullptr);
    EXPECT_EQ(CallLogLines(), std::vector<std::wstring>{L"LoadLibraryExW winmm.dll 800"});
}

// arg: "restrict" or "plain", a bar, the folder holding kdplanted.dll.
KD_CHILD_MODE(ChildLoadsPlanted, L"planted") {
    std::wstring all = arg;
    size_t bar = all.find(L'|');
    if (bar == std::wstring::npos || !SetCurrentDirectoryW(all.substr(bar + 1).c_str())) return 2;
    if (all.compare(0, bar, L"restrict") == 0) RestrictLibrarySearch();
    // The stand-in refuses to stay, so both come back empty; its marker tells.
    if (LoadSystemLibrary(L"kdplanted.dll")) return 3;
    if (LoadLibraryW(L"kdplanted.dll")) return 3;
    return 0;
}

TEST(SystemLibrary, RestrictedSearchIgnoresTheCurrentFolder) {
    const char* standIn = getenv("KD_STANDIN");
    ASSERT_NE(standIn, nullptr) << "KD_STANDIN names kdstandin.dll";
    std::wstring source = L"Z:";
    for (const char* c = standIn; *c; ++c) source += *c == '/' ? L'\\' : wchar_t(*c);
    for (const wchar_t* mode : {L"plain", L"restrict"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(mode)));
        std::wstring folder = MakeTempFolder(L"planted");
        ASSERT_TRUE(CopyFileW(source.c_str(), (folder + L"\\kdplanted.dll").c_str(), FALSE));
        HANDLE child = StartChild(L"planted", std::wstring(mode) + L"|" + folder);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(WaitChild(child, 15000), 0);
        CloseHandle(child);
        // Without the restriction the plain search takes the planted file: the control.
        bool marked = GetFileAttributesW((folder + L"\\kdplanted.dll.loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(marked, std::wstring(mode) == L"plain");
    }
}
