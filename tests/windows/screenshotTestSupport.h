// Support for the screenshot tests under Wine: a known picture on the screen,
// real mouse and keyboard input through xdotool, the selector and the save
// dialog seen from outside, image files read back through GDI+, and counts of
// the GDI objects and heap memory a process holds.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

// The picture shown by the "shotpicture" child: every pixel of a 1024 x 768
// screen has a colour of its own, so any offset shows.
COLORREF PictureColour(int x, int y);
// Starts the picture child and waits until the screen shows it; null on failure.
HANDLE ShowPicture();

// Runs xdotool with these arguments (X input as a user would give it) and waits for it.
bool Xdo(const std::wstring& arguments);
// Press at the first point, move through the middle to the second, release.
bool Drag(int x0, int y0, int x1, int y1);

// A selector: a dialog-class window, topmost, covering the screen, without controls.
bool IsSelectorWindow(HWND window);
// The open selector (visible, topmost, covering the screen) of process pid (0:
// this thread's), polled for up to timeoutMs.
HWND WaitForSelector(DWORD pid, DWORD timeoutMs);
// The open save dialog of process pid (0: this thread's).
HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs);
// Whether process pid (0: this thread) still shows any window: selector, dialog or box.
bool ShowsAnyWindow(DWORD pid);
// The name the save dialog proposes.
std::wstring DialogFileName(HWND dialog);
// Chooses the format (filter index 1 to 5), types the name (unless empty) and presses Save.
void SaveFromDialog(HWND dialog, const std::wstring& name, int filterIndex);
void CancelDialog(HWND dialog);

// A picture read back from a file or a bitmap, 0xRRGGBB per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
bool ReadImageFile(const std::wstring& path, Picture* picture);
bool ReadBitmap(HBITMAP bitmap, Picture* picture);
// Count of pixels that differ from the screen picture starting at (left, top).
int PixelsDifferingFromScreen(const Picture& picture, int left, int top);
std::string FileStart(const std::wstring& path, size_t count);

// Text on the clipboard as a marker that nothing else was put there.
bool PutClipboardText(const wchar_t* text);
std::wstring ClipboardText();

// GDI objects this process holds. GetGuiResources answers 0 under Wine; then
// the count is taken from how many more objects the handle table still takes.
int LiveGdiObjects();
// Bytes in use on all heaps of this process.
size_t HeapBytesInUse();

// Starts this binary in child mode (see testSupport.h) as a copy that Wine's X11
// driver does not hand to a window manager, so hiding a window costs no wait.
HANDLE StartScreenshotChild(const wchar_t* name, const std::wstring& arg);

// The screenshot child: TakeScreenshot rounds times, in folder as current
// directory, with the message override in its configuration when asked. Exits
// with ScreenshotCounter, or 90 when an image or the open flag stayed behind.
HANDLE StartScreenshots(int rounds, const std::wstring& folder, bool messageOverride);
extern const wchar_t* const SCREENSHOT_MESSAGE_OVERRIDE;

// Kills the process on scope exit unless it ended already.
struct ChildGuard {
    HANDLE process;
    ~ChildGuard() {
        if (!process) return;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
};

// A suite whose tests all need the known picture on the screen, shown once per suite.
class KnownPictureTest : public testing::Test {
protected:
    static void SetUpTestSuite() { picture = ShowPicture(); }
    static void TearDownTestSuite() {
        ChildGuard stop{picture};
        picture = nullptr;
    }
    void SetUp() override { ASSERT_NE(picture, nullptr) << "the known picture never reached the screen"; }
    static inline HANDLE picture = nullptr;
};
