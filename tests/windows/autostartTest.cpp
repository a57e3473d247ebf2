// The Run value, written and deleted against the real (Wine) registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "app/appInstance.h"
#include "app/autostartWin.h"
#include "app/messages.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

namespace {
const wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// arg: "<name>|<autostart text>"
int ApplyConfiguredAutostart(const wchar_t* arg) {
    std::wstring a = arg;
    size_t bar = a.find(L'|');
    std::wstring doc = L"<KeyDeputy><设置><名称>" + a.substr(0, bar) + L"</名称><自启动>" + a.substr(bar + 1) +
                       L"</自启动></设置><菜单/></KeyDeputy>";
    if (!UseConfig(doc.c_str())) return 3;
    AppInstance = GetModuleHandleW(nullptr);
    ApplyAutostart(ConfigFlag(KD_SECTION_SETTINGS, KD_KEY_AUTOSTART));
    return 0;
}

KD_CHILD_MODE(ChildAutostart, L"autostart") { return ApplyConfiguredAutostart(arg); }

// What Windows does to a process without elevation: HKLM refuses write access.
// Wine grants it, so the refusal is put in front of the program's registry calls.
decltype(&RegCreateKeyExW) RealCreateKey = nullptr;
decltype(&RegOpenKeyExW) RealOpenKey = nullptr;
LSTATUS WINAPI RefusingCreateKey(HKEY base, LPCWSTR path, DWORD reserved, LPWSTR type, DWORD options, REGSAM access,
                                 LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
    if (base == HKEY_LOCAL_MACHINE) return ERROR_ACCESS_DENIED;
    return RealCreateKey(base, path, reserved, type, options, access, security, key, disposition);
}
LSTATUS WINAPI RefusingOpenKey(HKEY base, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    if (base == HKEY_LOCAL_MACHINE) return ERROR_ACCESS_DENIED;
    return RealOpenKey(base, path, options, access, key);
}
KD_CHILD_MODE(ChildAutostartUnelevated, L"autostartuser") {
    ImportPatch create("advapi32.dll", "RegCreateKeyExW", AsPointer(RefusingCreateKey));
    ImportPatch open("advapi32.dll", "RegOpenKeyExW", AsPointer(RefusingOpenKey));
    if (!create.active() || !open.active()) return 4;
    RealCreateKey = reinterpret_cast<decltype(&RegCreateKeyExW)>(create.original());
    RealOpenKey = reinterpret_cast<decltype(&RegOpenKeyExW)>(open.original());
    return ApplyConfiguredAutostart(arg);
}

bool ReadRunValue(const wchar_t* name, std::wstring* data, HKEY root = HKEY_LOCAL_MACHINE) {
    wchar_t buffer[1024];
    DWORD bytes = sizeof buffer;
    LSTATUS s = RegGetValueW(root, RUN_KEY, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, buffer, &bytes);
    if (s != ERROR_SUCCESS) return false;
    if (data) *data = buffer;
    return true;
}

void WriteRunValue(const wchar_t* name, const wchar_t* data, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(root, RUN_KEY, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), DWORD((wcslen(data) + 1) * 2));
    RegCloseKey(key);
}

std::wstring SelfPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// A copy of this test binary in folder, so the child's own path holds that folder.
std::wstring CopySelfTo(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring target = folder + L"\\kdwintests.exe";
    CopyFileW(SelfPath().c_str(), target.c_str(), FALSE);
    return target;
}

HANDLE StartCopy(const std::wstring& exe, const std::wstring& arg, const wchar_t* mode = L"autostart") {
    return StartChild(mode, arg, exe);
}

// A copy that must end by itself, with 0, asking nothing.
void RunCopy(const std::wstring& exe, const std::wstring& arg, const wchar_t* mode = L"autostart") {
    HANDLE child = StartCopy(exe, arg, mode);
    EXPECT_EQ(WaitChild(child, 20000), 0) << testing::PrintToString(arg);
    CloseHandle(child);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
}  // namespace

TEST(Autostart, WritesQuotedPathAndDeletesWhenOff) {
    std::wstring exe = CopySelfTo(L"C:\\kdplain");
    RunCopy(exe, L"KD Plain|是");  // no question outside a Temp folder
    std::wstring data;
    ASSERT_TRUE(ReadRunValue(L"KD Plain", &data));
    EXPECT_EQ(data, Quoted(exe));

    // Anything but exactly 是 is off, and off deletes.
    RunCopy(exe, L"KD Plain|yes");
    EXPECT_FALSE(ReadRunValue(L"KD Plain", nullptr));

    // Deleting a value that is not there is silent.
    RunCopy(exe, L"KD Plain|否");
}

TEST(Autostart, AsksInTempFolderYesWritesNoKeepsEarlierValue) {
    std::wstring exe = CopySelfTo(L"C:\\kdTemplates");
    WriteRunValue(L"KD Temp", L"earlier");

    HANDLE child = StartCopy(exe, L"KD Temp|是");
    HWND box = WaitForBox(L"KD Temp", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), KD_MSG_AUTOSTART_TEXT);
    EXPECT_TRUE(BoxHasButton(box, IDYES));
    EXPECT_TRUE(BoxHasButton(box, IDNO));
    EXPECT_TRUE(AnswerBox(box, IDNO));
    EXPECT_EQ(WaitChild(child, 20000), 0);
    CloseHandle(child);
    std::wstring data;
    ASSERT_TRUE(ReadRunValue(L"KD Temp", &data));
    EXPECT_EQ(data, L"earlier");

    child = StartCopy(exe, L"KD Temp|是");
    box = WaitForBox(L"KD Temp", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(AnswerBox(box, IDYES));
    EXPECT_EQ(WaitChild(child, 20000), 0);
    CloseHandle(child);
    ASSERT_TRUE(ReadRunValue(L"KD Temp", &data));
    EXPECT_EQ(data, Quoted(exe));
}

TEST(Autostart, UpperCaseTempIsNotAskedAbout) {
    std::wstring exe = CopySelfTo(L"C:\\kdTEMP");
    RunCopy(exe, L"KD Upper|是");
    EXPECT_TRUE(ReadRunValue(L"KD Upper", nullptr));
}

TEST(Autostart, RenamedCaptionLeavesTheOldValueAlone) {
    std::wstring exe = CopySelfTo(L"C:\\kdrename");
    RunCopy(exe, L"KD Old|是");
    RunCopy(exe, L"KD New|否");
    EXPECT_TRUE(ReadRunValue(L"KD Old", nullptr));
    EXPECT_FALSE(ReadRunValue(L"KD New", nullptr));
}

TEST(Autostart, WithoutElevationTheUsersKeyTakesTheValueAndOffClearsBoth) {
    std::wstring exe = CopySelfTo(L"C:\\kduser");
    WriteRunValue(L"KD User", L"earlier");
    RunCopy(exe, L"KD User|是", L"autostartuser");
    std::wstring data;
    ASSERT_TRUE(ReadRunValue(L"KD User", &data, HKEY_CURRENT_USER)) << "nothing written for the user";
    EXPECT_EQ(data, Quoted(exe));
    ASSERT_TRUE(ReadRunValue(L"KD User", &data));
    EXPECT_EQ(data, L"earlier") << "the refused machine key was written anyway";

    // Off, with both keys writable: whichever road an earlier start took, the value goes.
    RunCopy(exe, L"KD User|否");
    EXPECT_FALSE(ReadRunValue(L"KD User", nullptr, HKEY_CURRENT_USER));
    EXPECT_FALSE(ReadRunValue(L"KD User", nullptr));
}

TEST(Autostart, ElevatedThenNormalStartsLeaveOneValueAndOffSaysWhatStays) {
    std::wstring exe = CopySelfTo(L"C:\\kdonce");
    RunCopy(exe, L"KD Once|是");
    // The machine's value started this normal run: a user's copy would start a second.
    RunCopy(exe, L"KD Once|是", L"autostartuser");
    EXPECT_TRUE(ReadRunValue(L"KD Once", nullptr));
    EXPECT_FALSE(ReadRunValue(L"KD Once", nullptr, HKEY_CURRENT_USER)) << "the program would start twice";

    // Off in a normal run: the machine's value cannot go, and the user is told.
    HANDLE child = StartCopy(exe, L"KD Once|否", L"autostartuser");
    HWND box = WaitForBox(L"KD Once", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr) << "a value that still starts the program was left without a word";
    EXPECT_EQ(BoxText(box), KD_MSG_AUTOSTART_LEFT_TEXT);
    EXPECT_FALSE(BoxHasButton(box, IDNO));
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(WaitChild(child, 20000), 0);
    CloseHandle(child);
    EXPECT_TRUE(ReadRunValue(L"KD Once", nullptr));

    // An elevated run removes it, silently.
    RunCopy(exe, L"KD Once|否");
    EXPECT_FALSE(ReadRunValue(L"KD Once", nullptr));
}
