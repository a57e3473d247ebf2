// The resolution command: the requests it makes, and what a real display answers.
#include <gtest/gtest.h>
#include <windows.h>

#include "actions/resolutionWin.h"
#include "actions/resolution.h"
#include "app/configLookup.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

namespace {
LONG DisplayAnswer;
ImportPatch* DisplayPatch;

void LogMode(const wchar_t* what, const DEVMODEW* mode, DWORD flags) {
    if (!mode) {
        LogCall(L"%ls null %lx", what, flags);
        return;
    }
    LogCall(L"%ls size=%d extra=%d fields=%lx %lux%lux%lu %lx", what, mode->dmSize == sizeof(DEVMODEW),
            mode->dmDriverExtra, mode->dmFields, mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel,
            flags);
}

LONG WINAPI FakeChangeDisplay(DEVMODEW* mode, DWORD flags) {
    LogMode(L"change", mode, flags);
    return DisplayAnswer;
}

int WINAPI FakeMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    LogCall(L"box owner=%d style=%x caption='%ls' text='%ls'", owner != nullptr, style, caption, text);
    return IDOK;
}

class ResolutionRequests : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(change.active());
        ASSERT_TRUE(box.active());
        ASSERT_TRUE(UseConfig(L"<KeyDeputy/>"));
        ClearCallLog();
    }
    void TearDown() override { UseConfig(L"<KeyDeputy/>"); }

    ImportPatch change{"user32.dll", "ChangeDisplaySettingsW", AsPointer(&FakeChangeDisplay)};
    ImportPatch box{"user32.dll", "MessageBoxW", AsPointer(&FakeMessageBox)};
};

const wchar_t* const WARNING =
    L"box owner=0 style=30 caption='KeyDeputy v2.0' text='分辨率设置失败，已经恢复到默认状态！'";
}  // namespace

TEST_F(ResolutionRequests, AcceptedModeIsTriedThenStored) {
    DisplayAnswer = DISP_CHANGE_SUCCESSFUL;
    ApplyResolutionCommand(L"分辨率(1024, 768)");
    EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"change size=1 extra=0 fields=1c0000 1024x768x32 0",
                                                         L"change size=1 extra=0 fields=1c0000 1024x768x32 1"}));
}

TEST_F(ResolutionRequests, RefusedModeRestoresAndWarnsOnce) {
    const LONG refusals[] = {DISP_CHANGE_BADMODE, DISP_CHANGE_FAILED, DISP_CHANGE_RESTART, DISP_CHANGE_BADPARAM};
    for (LONG refusal : refusals) {
        SCOPED_TRACE(refusal);
        ClearCallLog();
        DisplayAnswer = refusal;
        ApplyResolutionCommand(L"分辨率(1280,1024)");
        EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"change size=1 extra=0 fields=1c0000 1280x1024x32 0",
                                                             L"change null 0", WARNING}));
    }
}

TEST_F(ResolutionRequests, UnreadableTextNeverBecomesAMode) {
    DisplayAnswer = DISP_CHANGE_SUCCESSFUL;
    const wchar_t* const texts[] = {L"设置分辨率(1024,768)", L"分辨率(1024 ,768)", L"分辨率(1024)",
                                    L"分辨率(-1024,768)", L"分辨率(0,0)", L"分辨率(4294967296,768)", L"分辨率"};
    for (const wchar_t* text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        ClearCallLog();
        ApplyResolutionCommand(text);
        EXPECT_EQ(CallLogLines(), (std::vector<std::wstring>{L"change null 0", WARNING}));
    }
}

TEST_F(ResolutionRequests, WarningTextCanBeReplaced) {
    ASSERT_TRUE(UseConfig(L"<KeyDeputy><语言><分辨率>  换不了。%s  </分辨率></语言></KeyDeputy>"));
    DisplayAnswer = DISP_CHANGE_BADMODE;
    ApplyResolutionCommand(L"分辨率(1,1)");
    EXPECT_TRUE(LogHas(CallLogLines(), L"box owner=0 style=30 caption='KeyDeputy v2.0' text='换不了。%s'"));
}

namespace {
LONG WINAPI ForwardingChangeDisplay(DEVMODEW* mode, DWORD flags) {
    LONG answer = reinterpret_cast<decltype(&ChangeDisplaySettingsW)>(DisplayPatch->original())(mode, flags);
    LogMode(L"real", mode, flags);
    LogCall(L"answer %ld", answer);
    return answer;
}

void LogCurrentMode(const wchar_t* when) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode))
        LogCall(L"%ls %lux%lux%lu", when, mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
    else
        LogCall(L"%ls unknown", when);
}
}  // namespace

KD_CHILD_MODE(ChildRealResolution, L"actions-resolution") {
    // arg: log file, a tab, the command text
    std::wstring all = arg;
    size_t tab = all.find(L'\t');
    if (tab == std::wstring::npos) return 2;
    SetCallLogFile(all.substr(0, tab));
    ImportPatch change("user32.dll", "ChangeDisplaySettingsW", AsPointer(&ForwardingChangeDisplay));
    if (!change.active()) return 3;
    DisplayPatch = &change;
    LoadAppCaption();
    LogCurrentMode(L"before");
    ApplyResolutionCommand(all.substr(tab + 1).c_str());
    LogCurrentMode(L"after");
    return 0;
}

namespace {
struct RealRun {
    int code;
    int boxes;
    std::wstring firstBoxText;
    std::vector<std::wstring> log;
};

RealRun RunReal(const wchar_t* command) {
    std::wstring log = MakeTempFolder(L"resolution") + L"\\calls.txt";
    HANDLE child = StartChild(L"actions-resolution", log + L"\t" + command);
    RealRun run = {-1, 0, L"", {}};
    if (!child) return run;
    DWORD pid = GetProcessId(child);
    // Answer every warning that comes, counting them, until the child ends.
    for (;;) {
        HWND box = WaitForBox(L"KeyDeputy v2.0", pid, 3000);
        if (!box) break;
        if (run.boxes++ == 0) run.firstBoxText = BoxText(box);
        AnswerBox(box, IDOK);
    }
    run.code = WaitChild(child, 15000);
    CloseHandle(child);
    run.log = ReadCallLogFile(log);
    return run;
}

std::wstring ModeLine(const std::vector<std::wstring>& log, const std::wstring& when) {
    for (const std::wstring& line : log)
        if (line.compare(0, when.size() + 1, when + L" ") == 0) return line.substr(when.size() + 1);
    return L"missing";
}
}  // namespace

// Wine on Xvfb offers only the screen's own size: a bigger one is refused with
// DISP_CHANGE_BADMODE and the restore succeeds (tests/README.md).
TEST(ResolutionOnWine, UnsupportedSizeWarnsOnceAndKeepsTheMode) {
    RealRun run = RunReal(L"分辨率(1280,1024)");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.boxes, 1);
    EXPECT_EQ(run.firstBoxText, L"分辨率设置失败，已经恢复到默认状态！");
    EXPECT_NE(ModeLine(run.log, L"before"), L"unknown");
    EXPECT_EQ(ModeLine(run.log, L"after"), ModeLine(run.log, L"before"));
    int tried = LogIndex(run.log, L"real size=1 extra=0 fields=1c0000 1280x1024x32 0");
    ASSERT_GE(tried, 0);
    ASSERT_LT(size_t(tried + 3), run.log.size());
    EXPECT_EQ(run.log[tried + 1], L"answer -2");
    EXPECT_EQ(run.log[tried + 2], L"real null 0");
    EXPECT_EQ(run.log[tried + 3], L"answer 0");
    EXPECT_EQ(LogCount(run.log, L"real "), 2);
}

TEST(ResolutionOnWine, CurrentSizeIsAcceptedAndStoredSilently) {
    DEVMODEW current = {};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current));
    std::wstring size = std::to_wstring(current.dmPelsWidth) + L"x" + std::to_wstring(current.dmPelsHeight);
    // An ideographic space, as a Chinese keyboard types it, is a blank like any other.
    std::wstring command = L"分辨率(" + std::to_wstring(current.dmPelsWidth) + L",\x3000" +
                           std::to_wstring(current.dmPelsHeight) + L")";
    RealRun run = RunReal(command.c_str());
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.boxes, 0);
    std::wstring request = L"real size=1 extra=0 fields=1c0000 " + size + L"x32 ";
    int tried = LogIndex(run.log, request + L"0");
    ASSERT_GE(tried, 0);
    ASSERT_LT(size_t(tried + 3), run.log.size());
    EXPECT_EQ(run.log[tried + 1], L"answer 0");
    EXPECT_EQ(run.log[tried + 2], request + L"1");
    EXPECT_EQ(run.log[tried + 3], L"answer 0");
    EXPECT_EQ(ModeLine(run.log, L"after"), ModeLine(run.log, L"before"));
}

// The blanks before each number are the ones the platform's own wide scanf skips,
// compared unit by unit with msvcrt's swscanf.
TEST(ResolutionOnWine, BlanksAreThoseThePlatformScanfSkips) {
    using Scan = int(__cdecl*)(const wchar_t*, const wchar_t*, ...);
    Scan scan = reinterpret_cast<Scan>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"msvcrt.dll"), "swscanf")));
    ASSERT_NE(scan, nullptr);
    std::wstring differing;
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        std::wstring blank(1, wchar_t(unit));
        std::wstring text = L"分辨率(" + blank + L"800," + blank + L"600)";
        int width = 0, height = 0;
        bool platform = scan(text.c_str(), L"分辨率(%d,%d)", &width, &height) == 2 && width == 800 && height == 600;
        int32_t ourWidth = 0, ourHeight = 0;
        bool ours = ReadResolutionText(text.c_str(), &ourWidth, &ourHeight) && ourWidth == 800 && ourHeight == 600;
        if (platform != ours) {
            wchar_t hex[8];
            wsprintfW(hex, L" %04X", unit);
            differing += hex;
        }
    }
    EXPECT_EQ(differing, L"");
}
