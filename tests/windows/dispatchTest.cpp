// Command dispatch: cached actions, the resolution road, the shell, and bad indices.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "app/trayIcon.h"
#include "menu/commandItems.h"
#include "menu/dispatchWin.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

namespace {
void UseItems(std::initializer_list<const wchar_t*> commands) {
    CommandItems.releaseMemory();
    ASSERT_TRUE(InitCommandItems());
    for (const wchar_t* c : commands) ASSERT_TRUE(AppendCommandItem(CommandItems, c));
}

struct BoxRecord {
    int count;
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};
BoxRecord Boxes;

int WINAPI RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    Boxes = {Boxes.count + 1, owner, text, caption, type};
    return IDOK;
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return false;
}
}  // namespace

TEST(Dispatch, ActionIsCachedAfterItsFirstRunAndRunsOncePerDispatch) {
    ASSERT_TRUE(UseConfig(L"<KeyDeputy/>"));
    AppInstance = GetModuleHandleW(nullptr);
    UseItems({L"隐藏图标"});
    TrayIconShown = true;
    DispatchCommand(0);
    EXPECT_FALSE(TrayIconShown);
    EXPECT_EQ(CommandItems.items[0].handler, &ToggleTrayIcon);
    DispatchCommand(0);
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(CommandItems.items[0].handler, &ToggleTrayIcon);
}

TEST(Dispatch, IndicesOutsideTheListAreIgnored) {
    UseItems({L"隐藏图标"});
    TrayIconShown = true;
    DispatchCommand(-1);
    DispatchCommand(1);
    DispatchCommand(INT32_MAX);
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(CommandItems.items[0].handler, nullptr);
}

TEST(Dispatch, OtherTextsGoWholeToTheShell) {
    std::wstring folder = MakeTempFolder(L"dispatch");
    std::wstring script = folder + L"\\make file.bat";
    std::string body = "@echo made> \"%~dp0out.txt\"\r\n";
    ASSERT_TRUE(WriteBytes(script, body.data(), body.size()));
    // A near miss of an action name is not an action: it goes to the shell too, which
    // cannot open it, and the user is told so.
    ASSERT_TRUE(UseConfig(L"<KeyDeputy><设置><名称>KD Dispatch</名称></设置></KeyDeputy>"));
    LoadAppCaption();
    ImportPatch box("user32.dll", "MessageBoxW", AsPointer(RecordBox));
    Boxes = {};
    UseItems({script.c_str(), L"隐藏图标 "});
    TrayIconShown = true;
    DispatchCommand(0);
    EXPECT_TRUE(WaitForFile(folder + L"\\out.txt", 20000));
    EXPECT_EQ(Boxes.count, 0);
    DispatchCommand(1);
    EXPECT_TRUE(TrayIconShown);
    EXPECT_EQ(CommandItems.items[1].handler, nullptr);
    ASSERT_EQ(Boxes.count, 1);
    EXPECT_EQ(Boxes.owner, nullptr);
    EXPECT_EQ(Boxes.caption, L"KD Dispatch");
    EXPECT_EQ(Boxes.type, UINT(MB_OK | MB_ICONWARNING));
    // The command as written, then the platform's reason on a line of its own.
    EXPECT_EQ(Boxes.text.rfind(L"无法打开“隐藏图标 ”。\n", 0), 0u) << testing::PrintToString(Boxes.text);
    EXPECT_GT(Boxes.text.size(), wcslen(L"无法打开“隐藏图标 ”。\n"));
}

KD_CHILD_MODE(ChildDispatchFirst, L"dispatchfirst") {
    if (!UseConfig(L"<KeyDeputy><设置><名称>KD Dispatch</名称></设置></KeyDeputy>")) return 3;
    AppInstance = GetModuleHandleW(nullptr);
    UseItems({arg});
    DispatchCommand(0);
    return 0;
}

KD_CHILD_MODE(ChildDispatchWithoutCom, L"dispatchnocom") {
    SystemFunctionPatch missing(SystemLibrary::Ole32, "CoInitializeEx", nullptr);
    UseItems({arg});
    DispatchCommand(0);
    return 0;
}

TEST(Dispatch, WithoutOle32TheShellStillOpensTheCommand) {
    std::wstring folder = MakeTempFolder(L"dispatchnocom");
    std::wstring script = folder + L"\\run.bat";
    std::string body = "@echo made> \"%~dp0out.txt\"\r\n";
    ASSERT_TRUE(WriteBytes(script, body.data(), body.size()));
    HANDLE child = StartChild(L"dispatchnocom", script);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitChild(child, 15000), 0);
    CloseHandle(child);
    EXPECT_TRUE(WaitForFile(folder + L"\\out.txt", 20000));
}

TEST(Dispatch, AnyTextHoldingTheResolutionWordTakesTheResolutionRoad) {
    // Not a readable resolution: refused, so the warning shows; the shell never sees it.
    HANDLE child = StartChild(L"dispatchfirst", L"C:\\分辨率\\隐藏图标.exe");
    ASSERT_NE(child, nullptr);
    HWND box = WaitForBox(L"KD Dispatch", GetProcessId(child), 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), KD_MSG_RESOLUTION_TEXT);
    EXPECT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(WaitChild(child, 15000), 0);
    CloseHandle(child);
}
