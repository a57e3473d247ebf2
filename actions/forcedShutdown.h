// Forced shutdown and restart through ntdll's own shutdown service.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr const wchar_t* NATIVE_LIBRARY = L"ntdll.dll";
constexpr const char* ADJUST_PRIVILEGE_NAME = "RtlAdjustPrivilege";
constexpr const char* SHUTDOWN_SYSTEM_NAME = "ZwShutdownSystem";
constexpr uint32_t NATIVE_REBOOT = 1;
constexpr uint32_t NATIVE_POWER_OFF = 2;
constexpr ULONG SHUTDOWN_PRIVILEGE_NUMBER = 19;
constexpr LONG STATUS_NO_TOKEN_VALUE = LONG(0xC000007C);

using RtlAdjustPrivilegeProc = LONG(NTAPI*)(ULONG privilege, BOOLEAN enable, BOOLEAN currentThread,
                                            BOOLEAN* wasEnabled);
using ZwShutdownSystemProc = LONG(NTAPI*)(ULONG action);

struct NativeShutdown {
    HMODULE library;  // released by RunNativeShutdown when the shutdown call returns
    RtlAdjustPrivilegeProc adjustPrivilege;
    ZwShutdownSystemProc shutdownSystem;
};

// Loads library from the system folder and looks both entry points up by name.
// False when any of them is missing; nothing is then left loaded.
bool LoadNativeShutdown(const wchar_t* library, const char* adjustName, const char* shutdownName,
                        NativeShutdown* native);

// Enables the shutdown privilege (on the thread's token, else on the process's)
// and asks for the shutdown. Returns only when the shutdown failed, after
// releasing native->library when there is one.
void RunNativeShutdown(NativeShutdown* native, uint32_t action);
