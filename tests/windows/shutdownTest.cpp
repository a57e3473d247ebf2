// Forced shutdown and restart. No test lets a real shutdown run: the native entry
// points are replaced by recording ones before either action is called.
#include <gtest/gtest.h>
#include <windows.h>

#include "actions/actionHandlers.h"
#include "actions/forcedShutdown.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

namespace {
LONG FirstAdjustAnswer;
HMODULE NtdllHandle;
ImportPatch* ProcPatch;
ImportPatch* LoadPatch;
ImportPatch* FreePatch;

LONG NTAPI FakeAdjustPrivilege(ULONG privilege, BOOLEAN enable, BOOLEAN thread, BOOLEAN* was) {
    LogCall(L"adjust %lu %d %d was=%d", privilege, enable, thread, was ? *was : -1);
    if (!was) return LONG(0xC000000D);
    if (thread) return FirstAdjustAnswer;
    return 0;
}

LONG NTAPI FakeShutdownSystem(ULONG action) {
    LogCall(L"shutdown %lu", action);
    return LONG(0xC0000061);  // privilege not held: the call returns
}

FARPROC WINAPI SafeGetProcAddress(HMODULE module, LPCSTR name) {
    // Only the shutdown entry points are replaced; everything else is looked up as usual.
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0) {
        if (strcmp(name, "ZwShutdownSystem") == 0 || strcmp(name, "NtShutdownSystem") == 0) {
            LogCall(L"GetProcAddress %hs own=%d", name, module == NtdllHandle);
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeShutdownSystem));
        }
        if (strcmp(name, "RtlAdjustPrivilege") == 0) {
            LogCall(L"GetProcAddress %hs own=%d", name, module == NtdllHandle);
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeAdjustPrivilege));
        }
    }
    return reinterpret_cast<decltype(&GetProcAddress)>(ProcPatch->original())(module, name);
}

HMODULE WINAPI LoggingLoadLibrary(LPCWSTR name, HANDLE file, DWORD flags) {
    HMODULE module = reinterpret_cast<decltype(&LoadLibraryExW)>(LoadPatch->original())(name, file, flags);
    LogCall(L"LoadLibraryExW %ls %lx", name, flags);
    NtdllHandle = module;
    return module;
}

BOOL WINAPI LoggingFreeLibrary(HMODULE module) {
    LogCall(L"FreeLibrary own=%d", module == NtdllHandle && module != nullptr);
    return reinterpret_cast<decltype(&FreeLibrary)>(FreePatch->original())(module);
}

ImportPatch* BoxPatch;
int WINAPI LoggingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    LogCall(L"MessageBoxW owner=%d style=%x caption='%ls'", owner != nullptr, style, caption);
    return reinterpret_cast<decltype(&MessageBoxW)>(BoxPatch->original())(owner, text, caption, style);
}

NativeShutdown FakeNative(HMODULE library) {
    return {library, &FakeAdjustPrivilege, &FakeShutdownSystem};
}
}  // namespace

TEST(NativeShutdown, ThreadWithoutTokenRetriesOnTheProcess) {
    ClearCallLog();
    FirstAdjustAnswer = STATUS_NO_TOKEN_VALUE;
    NativeShutdown native = FakeNative(nullptr);
    RunNativeShutdown(&native, NATIVE_POWER_OFF);
    EXPECT_EQ(CallLogLines(),
              (std::vector<std::wstring>{L"adjust 19 1 1 was=0", L"adjust 19 1 0 was=0", L"shutdown 2"}));
}

TEST(NativeShutdown, OtherPrivilegeAnswersAreNotRetried) {
    const LONG answers[] = {0, LONG(0xC0000061), LONG(0xC0000022)};
    for (LONG answer : answers) {
        SCOPED_TRACE(answer);
        ClearCallLog();
        FirstAdjustAnswer = answer;
        NativeShutdown native = FakeNative(nullptr);
        RunNativeShutdown(&native, NATIVE_REBOOT);
        EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"adjust 19 1 1 was=0", L"shutdown 1"}));
    }
}

TEST(NativeShutdown, LibraryIsReleasedWhenTheCallReturns) {
    // A library nothing else here loads, so that its release can be seen.
    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    FirstAdjustAnswer = 0;
    NativeShutdown native = FakeNative(LoadLibraryW(L"msimg32.dll"));
    ASSERT_NE(native.library, nullptr);
    RunNativeShutdown(&native, NATIVE_POWER_OFF);
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    EXPECT_EQ(native.library, nullptr);
}

TEST(NativeShutdown, EntryPointsAreFoundInNtdll) {
    NativeShutdown native;
    ASSERT_TRUE(LoadNativeShutdown(NATIVE_LIBRARY, ADJUST_PRIVILEGE_NAME, SHUTDOWN_SYSTEM_NAME, &native));
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    EXPECT_EQ(native.library, ntdll);
    EXPECT_EQ(reinterpret_cast<void*>(native.adjustPrivilege),
              reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlAdjustPrivilege")));
    EXPECT_EQ(reinterpret_cast<void*>(native.shutdownSystem),
              reinterpret_cast<void*>(GetProcAddress(ntdll, "ZwShutdownSystem")));
    EXPECT_NE(native.shutdownSystem, nullptr);
    FreeLibrary(native.library);
}

TEST(NativeShutdown, MissingLibraryOrEntryPointLeavesNothingLoaded) {
    NativeShutdown native;
    EXPECT_FALSE(LoadNativeShutdown(L"kdNoSuchLibrary.dll", ADJUST_PRIVILEGE_NAME, SHUTDOWN_SYSTEM_NAME, &native));
    EXPECT_EQ(native.library, nullptr);
    EXPECT_EQ(native.shutdownSystem, nullptr);

    ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    EXPECT_FALSE(LoadNativeShutdown(L"msimg32.dll", "AlphaBlend", SHUTDOWN_SYSTEM_NAME, &native));
    EXPECT_EQ(native.adjustPrivilege, nullptr);
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
    EXPECT_FALSE(LoadNativeShutdown(NATIVE_LIBRARY, "RtlAdjustPrivilegeX", SHUTDOWN_SYSTEM_NAME, &native));
    EXPECT_FALSE(LoadNativeShutdown(NATIVE_LIBRARY, ADJUST_PRIVILEGE_NAME, "ZwShutdownSystemX", &native));
    EXPECT_EQ(native.library, nullptr);
}

// arg: "off" or "restart", a tab, the log file, a tab, "override" or "plain".
KD_CHILD_MODE(ChildForcedShutdown, L"actions-shutdown") {
    std::wstring all = arg;
    size_t first = all.find(L'\t'), second = all.rfind(L'\t');
    if (first == std::wstring::npos || second == first) return 2;
    SetCallLogFile(all.substr(first + 1, second - first - 1));
    ImportPatch proc("kernel32.dll", "GetProcAddress", AsPointer(&SafeGetProcAddress));
    ImportPatch load("kernel32.dll", "LoadLibraryExW", AsPointer(&LoggingLoadLibrary));
    ImportPatch release("kernel32.dll", "FreeLibrary", AsPointer(&LoggingFreeLibrary));
    ImportPatch box("user32.dll", "MessageBoxW", AsPointer(&LoggingMessageBox));
    // Without the replaced entry points the action must not run at all.
    if (!proc.active() || !load.active() || !release.active() || !box.active()) return 3;
    ProcPatch = &proc;
    LoadPatch = &load;
    FreePatch = &release;
    BoxPatch = &box;
    FirstAdjustAnswer = 0;
    bool configured = all.substr(second + 1) == L"override"
                          ? UseConfig(L"<KeyDeputy><语言><强制关机>真的要关？</强制关机></语言></KeyDeputy>")
                          : UseConfig(L"<KeyDeputy/>");
    if (!configured) return 4;
    if (all.compare(0, first, L"off") == 0) ForcePowerOff();
    else ForceRestart();
    LogCall(L"returned");
    return 0;
}

namespace {
struct ShutdownRun {
    int code;
    std::wstring text;
    std::vector<std::wstring> log;
};

ShutdownRun RunShutdown(const wchar_t* action, const wchar_t* config, int answer) {
    std::wstring log = MakeTempFolder(L"shutdown") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-shutdown", std::wstring(action) + L"\t" + log + L"\t" + config);
    ShutdownRun run = {-1, L"", {}};
    if (!child) return run;
    HWND box = WaitForBox(L"KeyDeputy v2.0", GetProcessId(child), 10000);
    if (box) {
        run.text = BoxText(box);
        EXPECT_TRUE(BoxHasButton(box, IDYES));
        EXPECT_EQ(DefaultButton(box), IDNO);
        AnswerBox(box, answer);
    }
    run.code = WaitChild(child, 15000);
    CloseHandle(child);
    run.log = ReadCallLogFile(log);
    return run;
}

const wchar_t* const CONFIRMATION = L"MessageBoxW owner=0 style=124 caption='KeyDeputy v2.0'";
}  // namespace

TEST(ForcedShutdown, AnsweredNoLoadsNothing) {
    for (const wchar_t* action : {L"off", L"restart"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(action)));
        ShutdownRun run = RunShutdown(action, L"plain", IDNO);
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.text, L"此项操作具有一定危险性，你已经保存了所有的工作吗？");
        EXPECT_EQ(run.log, (std::vector<std::wstring>{CONFIRMATION, L"returned"}));
    }
}

TEST(ForcedShutdown, OneOverrideServesBothActions) {
    for (const wchar_t* action : {L"off", L"restart"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(action)));
        ShutdownRun run = RunShutdown(action, L"override", IDNO);
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.text, L"真的要关？");
    }
}

TEST(ForcedShutdown, AnsweredYesEnablesThePrivilegeAndAsksNtdll) {
    struct Case { const wchar_t* action; const wchar_t* shutdown; };
    for (Case c : {Case{L"off", L"shutdown 2"}, Case{L"restart", L"shutdown 1"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.action)));
        ShutdownRun run = RunShutdown(c.action, L"plain", IDYES);
        EXPECT_EQ(run.code, 0);
        // The replaced shutdown fails, so the action frees the library and returns.
        EXPECT_EQ(run.log, (std::vector<std::wstring>{CONFIRMATION, L"LoadLibraryExW ntdll.dll 800",
                                                      L"GetProcAddress RtlAdjustPrivilege own=1",
                                                      L"GetProcAddress ZwShutdownSystem own=1",
                                                      L"adjust 19 1 1 was=0", c.shutdown, L"FreeLibrary own=1",
                                                      L"returned"}));
    }
}
