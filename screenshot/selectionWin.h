// The full-screen region selector behind the action 屏幕截图 (TakeScreenshot).
#pragma once

#include <windows.h>

// True while a selector exists; a second screenshot does not start meanwhile.
extern bool SelectorOpen;

// The current screen image: the whole primary screen while selecting (the frozen
// picture), then the selected part of it until image output saves it or hands
// it to the clipboard.
extern HBITMAP ScreenshotImage;

INT_PTR CALLBACK SelectorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Replaces ScreenshotImage with a screen-compatible bitmap of the screen's
// rectangle; right and bottom are not included. Null when it cannot be taken.
void CaptureRegion(int left, int top, int right, int bottom);

// Deletes ScreenshotImage, if any.
void ReleaseScreenshotImage();
