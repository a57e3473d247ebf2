// The region selector under Wine: driven from outside with real X input
// (xdotool), and from inside its own modal loop where a test needs to count
// what the process holds or to re-enter the action.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/messages.h"
#include "screenshot/imageOutput.h"
#include "screenshot/selectionWin.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/screenshotTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
const COLORREF OUTLINE = RGB(0, 20, 255);
const wchar_t* const MARKER = L"nothing else was put here";

using ScreenshotSelector = KnownPictureTest;

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

// What the selector shows outside the selection.
COLORREF Dimmed(COLORREF c) { return (c >> 1) & 0x7F7F7F; }

bool FolderIsEmpty(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) empty = false;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

// After an input that should end the selector: it goes away, and nothing but
// the next round's selector (or the end of the child) follows.
bool EndsQuietly(HANDLE process, std::wstring* seen) {
    DWORD pid = GetProcessId(process);
    DWORD start = GetTickCount();
    bool gone = false;
    while (GetTickCount() - start < 10000) {
        if (HWND box = WaitForBox(L"KeyDeputy v2.0", pid, 0)) {
            *seen = L"a message box: " + BoxText(box);
            AnswerBox(box, IDOK);
            return false;
        }
        if (HWND dialog = WaitForSaveDialog(pid, 0)) {
            *seen = L"the save dialog";
            CancelDialog(dialog);
            return false;
        }
        bool open = WaitForSelector(pid, 0) != nullptr;
        if (gone && open) return true;
        if (!open) gone = true;
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return true;
        Sleep(30);
    }
    *seen = L"the selector stayed open";
    return false;
}
}  // namespace

TEST_F(ScreenshotSelector, OutlineFollowsTheDragAndCancellingKeepsNothing) {
    ASSERT_TRUE(PutClipboardText(MARKER));
    std::wstring folder = MakeTempFolder(L"shotcancel");
    ChildGuard child{StartScreenshots(3, folder, false)};
    ASSERT_NE(child.process, nullptr);
    DWORD pid = GetProcessId(child.process);
    std::wstring seen;

    // Round 1: the frozen picture is dimmed but for the selection, whose outline runs
    // just outside it; then the right button ends it.
    ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
    // Shown is not yet painted: a loaded machine took a moment more.
    for (int i = 0; i < 40 && ScreenPixel(500, 400) != Dimmed(PictureColour(500, 400)); ++i) Sleep(50);
    EXPECT_EQ(ScreenPixel(500, 400), Dimmed(PictureColour(500, 400))) << "the selector does not show itself";
    ASSERT_TRUE(Xdo(L"mousemove 100 100 sleep 0.1 mousedown 1 sleep 0.1 mousemove 200 150 sleep 0.1 mousemove 300 200"));
    Sleep(400);
    EXPECT_EQ(ScreenPixel(200, 99), OUTLINE);
    EXPECT_EQ(ScreenPixel(99, 150), OUTLINE);
    EXPECT_EQ(ScreenPixel(200, 200), OUTLINE);
    EXPECT_EQ(ScreenPixel(300, 150), OUTLINE);
    EXPECT_EQ(ScreenPixel(100, 100), PictureColour(100, 100));
    EXPECT_EQ(ScreenPixel(200, 150), PictureColour(200, 150));
    EXPECT_EQ(ScreenPixel(299, 199), PictureColour(299, 199));
    EXPECT_EQ(ScreenPixel(50, 50), Dimmed(PictureColour(50, 50)));
    EXPECT_EQ(ScreenPixel(301, 150), Dimmed(PictureColour(301, 150)));
    // The left button comes up after the cancel, as a user's would: it must not end anything more.
    ASSERT_TRUE(Xdo(L"click 3 sleep 0.1 mouseup 1"));
    EXPECT_TRUE(EndsQuietly(child.process, &seen)) << std::string(seen.begin(), seen.end());

    // Round 2: Escape in the middle of a drag. Xvfb has no window manager to
    // give the selector the X keyboard focus, so the test gives it.
    HWND selector = WaitForSelector(pid, 15000);
    ASSERT_NE(selector, nullptr);
    UINT_PTR xWindow = reinterpret_cast<UINT_PTR>(GetPropW(selector, L"__wine_x11_whole_window"));
    ASSERT_NE(xWindow, 0u);
    ASSERT_TRUE(Xdo(L"mousemove 120 120 sleep 0.1 mousedown 1 sleep 0.1 mousemove 250 250 sleep 0.1 windowfocus --sync " +
                    std::to_wstring(xWindow) + L" sleep 0.1 key Escape sleep 0.1 mouseup 1"));
    EXPECT_TRUE(EndsQuietly(child.process, &seen)) << std::string(seen.begin(), seen.end());

    // Round 3: a right click before any drag.
    ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
    ASSERT_TRUE(Xdo(L"mousemove 400 300 sleep 0.1 click 3"));
    EXPECT_TRUE(EndsQuietly(child.process, &seen)) << std::string(seen.begin(), seen.end());

    EXPECT_EQ(WaitChild(child.process, 10000), 2);
    EXPECT_EQ(ClipboardText(), MARKER);
    EXPECT_TRUE(FolderIsEmpty(folder));
}

TEST_F(ScreenshotSelector, EmptySelectionsShowTheMessageAPlainClickCancels) {
    ASSERT_TRUE(PutClipboardText(MARKER));
    std::wstring folder = MakeTempFolder(L"shotempty");
    {
        ChildGuard child{StartScreenshots(2, folder, false)};
        ASSERT_NE(child.process, nullptr);
        DWORD pid = GetProcessId(child.process);
        // No width: the box. A plain click: the selector ends without one.
        ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
        ASSERT_TRUE(Xdo(L"mousemove 100 100 sleep 0.1 mousedown 1 sleep 0.1 mousemove 100 150 sleep 0.1 "
                        L"mousemove 100 200 sleep 0.2 mouseup 1"));
        HWND box = WaitForBox(L"KeyDeputy v2.0", pid, 10000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), KD_MSG_SCREENSHOT_TEXT);
        EXPECT_TRUE(BoxHasButton(box, IDOK));
        EXPECT_FALSE(BoxHasButton(box, IDCANCEL));
        EXPECT_EQ(WaitForSaveDialog(pid, 0), nullptr);
        EXPECT_TRUE(AnswerBox(box, IDOK));

        ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
        ASSERT_TRUE(Xdo(L"mousemove 400 300 sleep 0.2 click 1"));
        std::wstring seen;
        EXPECT_TRUE(EndsQuietly(child.process, &seen)) << std::string(seen.begin(), seen.end());
        EXPECT_EQ(WaitChild(child.process, 10000), 2);
    }
    {
        // The 语言 section's text replaces the built-in one.
        ChildGuard child{StartScreenshots(1, folder, true)};
        ASSERT_NE(child.process, nullptr);
        DWORD pid = GetProcessId(child.process);
        ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
        ASSERT_TRUE(Drag(100, 100, 300, 100));
        HWND box = WaitForBox(L"KeyDeputy v2.0", pid, 10000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), SCREENSHOT_MESSAGE_OVERRIDE);
        EXPECT_TRUE(AnswerBox(box, IDOK));
        EXPECT_EQ(WaitChild(child.process, 10000), 2);
    }
    EXPECT_EQ(ClipboardText(), MARKER);
    EXPECT_TRUE(FolderIsEmpty(folder));
}

// ---- Scripts run inside the child's own modal loops, from a thread timer ----
namespace {
struct ScriptState {
    std::wstring name;
    std::wstring folder;
    int ticks = 0;
    int depth = 0;
    bool failed = false;
    std::map<std::string, long long> results;
    // The leak script's cycle: what the current screenshot does with its selection.
    int cycle = 0;
    bool driven = false;
};
ScriptState Script;

void Record(const char* key, long long value) { Script.results[key] = value; }

void SendMouse(HWND window, UINT message, int x, int y) {
    SendMessageW(window, message, message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(x, y));
}
void PostMouse(HWND window, UINT message, int x, int y) { PostMessageW(window, message, 0, MAKELPARAM(x, y)); }

int CountSelectors() {
    int count = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD thread = GetWindowThreadProcessId(w, nullptr);
        if (thread == GetCurrentThreadId() && IsWindowVisible(w) && IsSelectorWindow(w)) ++count;
    }
    return count;
}

// Closes whatever is open, so that a broken run ends instead of hanging.
void CloseEverything() {
    Script.failed = true;
    if (HWND box = WaitForBox(L"KeyDeputy v2.0", GetCurrentProcessId(), 0)) PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (HWND dialog = WaitForSaveDialog(0, 0)) CancelDialog(dialog);
    // Ended from outside their procedure: a second selector shares the first one's state.
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() && IsSelectorWindow(w)) EndDialog(w, 0);
}

void ReentryTick(HWND selector) {
    if (!selector || Script.results.count("nestedMs")) return;
    Record("openDuring", SelectorOpen);
    DWORD start = GetTickCount();
    TakeScreenshot();  // the action chosen again while the selector is open
    Record("nestedMs", GetTickCount() - start);
    Record("selectors", CountSelectors());
    PostMouse(selector, WM_RBUTTONUP, 10, 10);
}

void DisplayChangeTick(HWND selector) {
    if (!selector || Script.results.count("sent")) return;
    SendMouse(selector, WM_LBUTTONDOWN, 100, 100);
    SendMouse(selector, WM_MOUSEMOVE, 300, 200);
    Record("sent", 1);
    SendMessageW(selector, WM_DEVMODECHANGE, 0, 0);
    Record("visibleAfter", IsWindowVisible(selector));
}

// The ways through a screenshot, in turns of ten: saved, cancelled to the
// clipboard, four empty (message), four cancelled with the right button. The
// save dialog takes seconds to open under Wine, so it gets the fewest turns.
enum Road { SAVED, CLIPBOARD, EMPTY, RIGHT_BUTTON };
Road RoadOf(int cycle) {
    int turn = cycle % 10;
    return turn == 0 ? SAVED : turn == 1 ? CLIPBOARD : turn < 6 ? EMPTY : RIGHT_BUTTON;
}

void LeakTick(HWND selector) {
    Road road = RoadOf(Script.cycle);
    if (HWND box = WaitForBox(L"KeyDeputy v2.0", GetCurrentProcessId(), 0)) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
    }
    if (HWND dialog = WaitForSaveDialog(0, 0)) {
        if (road == SAVED) {
            // Not TIFF: Wine's TIFF encoder keeps every frame's pixels (60000 bytes
            // for 200 x 100), which would hide anything of ours.
            SaveFromDialog(dialog, Script.folder + L"\\leak" + std::to_wstring(Script.cycle), Script.cycle / 10 % 4 + 1);
        } else {
            CancelDialog(dialog);
        }
        return;
    }
    if (!selector || Script.driven) return;
    Script.driven = true;
    SendMouse(selector, WM_LBUTTONDOWN, 100, 100);
    if (road == EMPTY) {
        PostMouse(selector, WM_LBUTTONUP, 100, 100);
        return;
    }
    if (Script.cycle == 0) {
        // A thousand repaints of the outline within one selector.
        SendMouse(selector, WM_MOUSEMOVE, 120, 110);
        UpdateWindow(selector);
        int before = LiveGdiObjects();
        size_t heapBefore = HeapBytesInUse();
        for (int i = 0; i < 1000; ++i) {
            SendMouse(selector, WM_MOUSEMOVE, 101 + i % 600, 101 + i % 500);
            UpdateWindow(selector);
        }
        Record("repaintGdiGrowth", LiveGdiObjects() - before);
        Record("repaintHeapGrowth", (long long)HeapBytesInUse() - (long long)heapBefore);
    }
    SendMouse(selector, WM_MOUSEMOVE, 300, 200);
    UpdateWindow(selector);
    PostMouse(selector, road == RIGHT_BUTTON ? WM_RBUTTONUP : WM_LBUTTONUP, 300, 200);
}

VOID CALLBACK ScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
    ++Script.ticks;
    if (Script.depth > 0) {  // a nested modal loop came back here: something did not return
        CloseEverything();
        return;
    }
    if (Script.ticks > 1500) {  // 30 s for one screenshot
        CloseEverything();
        return;
    }
    ++Script.depth;
    HWND selector = WaitForSelector(0, 0);
    if (Script.name == L"reentry") ReentryTick(selector);
    if (Script.name == L"devmode") DisplayChangeTick(selector);
    if (Script.name == L"leak") LeakTick(selector);
    --Script.depth;
}

bool WriteResults(const std::wstring& folder) {
    std::string text;
    for (const auto& [key, value] : Script.results) text += key + " " + std::to_string(value) + "\n";
    return WriteBytes(folder + L"\\results.txt", text.data(), text.size());
}

std::map<std::string, long long> ReadResults(const std::wstring& folder) {
    std::map<std::string, long long> results;
    FILE* f = _wfopen((folder + L"\\results.txt").c_str(), L"r");
    if (!f) return results;
    char key[64];
    long long value;
    while (fscanf(f, "%63s %lld", key, &value) == 2) results[key] = value;
    fclose(f);
    return results;
}

int RunScript(const std::wstring& name, std::map<std::string, long long>* results, DWORD timeoutMs) {
    std::wstring folder = MakeTempFolder(L"shotscript");
    HANDLE child = StartScreenshotChild(L"shotscript", name + L"|" + folder);
    int code = WaitChild(child, timeoutMs);
    if (child) CloseHandle(child);
    *results = ReadResults(folder);
    return code;
}
}  // namespace

KD_CHILD_MODE(ChildRunsScript, L"shotscript") {
    std::wstring request = arg;
    size_t bar = request.find(L'|');
    Script.name = request.substr(0, bar);
    Script.folder = request.substr(bar + 1);
    if (!UseConfig(L"<KeyDeputy><菜单/></KeyDeputy>")) return 91;
    AppInstance = GetModuleHandleW(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    PutClipboardText(MARKER);
    SetTimer(nullptr, 0, 20, ScriptTimer);

    if (Script.name == L"leak") {
        // Ten warm-up rounds let the platform fill its caches, then a hundred are counted.
        for (; Script.cycle < 10; ++Script.cycle, Script.driven = false) TakeScreenshot();
        int gdiBefore = LiveGdiObjects();
        size_t heapBefore = HeapBytesInUse();
        DWORD start = GetTickCount();
        for (; Script.cycle < 110; ++Script.cycle, Script.driven = false) {
            Script.ticks = 0;
            TakeScreenshot();
        }
        Record("ms", GetTickCount() - start);
        Record("gdiGrowth", LiveGdiObjects() - gdiBefore);
        Record("heapGrowth", (long long)HeapBytesInUse() - (long long)heapBefore);
        Record("saved", ScreenshotCounter - 2);
    } else {
        TakeScreenshot();
    }
    Record("openAfter", SelectorOpen);
    Record("imageAfter", ScreenshotImage != nullptr);
    Record("counter", ScreenshotCounter);
    Record("failed", Script.failed);
    Record("markerKept", ClipboardText() == MARKER);
    Gdiplus::GdiplusShutdown(token);
    return WriteResults(Script.folder) ? 0 : 92;
}

TEST(ScreenshotSelectorLoop, SecondScreenshotWhileOpenDoesNothing) {
    std::map<std::string, long long> r;
    ASSERT_EQ(RunScript(L"reentry", &r, 60000), 0);
    EXPECT_EQ(r["failed"], 0) << "the nested call opened a modal loop of its own";
    EXPECT_EQ(r["openDuring"], 1);
    ASSERT_TRUE(r.count("nestedMs"));
    EXPECT_LT(r["nestedMs"], 150);  // opening a selector alone waits 300 ms
    EXPECT_EQ(r["selectors"], 1);
    EXPECT_EQ(r["openAfter"], 0);
    EXPECT_EQ(r["imageAfter"], 0);
    EXPECT_EQ(r["markerKept"], 1);
}

TEST(ScreenshotSelectorLoop, DisplayChangeMessageEndsWithoutOutput) {
    std::map<std::string, long long> r;
    ASSERT_EQ(RunScript(L"devmode", &r, 60000), 0);
    EXPECT_EQ(r["failed"], 0) << "the selector stayed open or showed something";
    EXPECT_EQ(r["sent"], 1);
    EXPECT_EQ(r["visibleAfter"], 0);
    EXPECT_EQ(r["imageAfter"], 0);
    EXPECT_EQ(r["counter"], 2);
    EXPECT_EQ(r["markerKept"], 1);
}

TEST(ScreenshotSelectorLoop, RepaintsAndScreenshotsLeaveNoObjectsBehind) {
    std::map<std::string, long long> r;
    ASSERT_EQ(RunScript(L"leak", &r, 400000), 0);
    EXPECT_EQ(r["failed"], 0);
    EXPECT_EQ(r["saved"], 11);  // one in ten of the 110 rounds
    EXPECT_EQ(r["repaintGdiGrowth"], 0);
    EXPECT_EQ(r["gdiGrowth"], 0);
    EXPECT_LT(r["repaintHeapGrowth"], 4096);
    // Wine's clipboard and message boxes keep a few bytes each time (about 2 KB in all).
    EXPECT_LT(r["heapGrowth"], 16384);
    EXPECT_EQ(r["imageAfter"], 0);
    std::printf("[ info     ] 100 screenshots in %lld ms, heap growth %lld bytes\n", r["ms"], r["heapGrowth"]);
}
