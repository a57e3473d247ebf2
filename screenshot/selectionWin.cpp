#include "screenshot/selectionWin.h"

#include <windowsx.h>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "app/resourceIds.h"
#include "screenshot/imageOutputWin.h"
#include "screenshot/selection.h"

bool SelectorOpen = false;
HBITMAP ScreenshotImage = nullptr;

namespace {
SelectionDrag Drag;
// Set once the dialog has been told to end. Ending posts further messages (the
// default close handling sends a cancel command) which the message box and
// the save dialog dispatch while the release is still being handled; they
// must not cancel or restart anything.
bool SelectorEnded = false;

const COLORREF OUTLINE_COLOUR = RGB(0, 20, 255);

SelectionPoint MousePoint(LPARAM lParam) {
    // Signed: the captured mouse may be on a monitor left of or above the primary one.
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void SetCrossCursor() { SetCursor(LoadCursorW(nullptr, IDC_CROSS)); }

void Repaint(HWND window) { InvalidateRect(window, nullptr, FALSE); }

void EndSelector(HWND window) {
    SelectorEnded = true;
    SendMessageW(window, WM_CLOSE, 1, 0);
}

void OpenSelector(HWND window) {
    ShowWindow(window, SW_HIDE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    // Lets the menu or whatever started the screenshot vanish from the screen first.
    Sleep(300);
    SetCrossCursor();
    ResetDrag(&Drag);
    SelectorEnded = false;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    CaptureRegion(0, 0, width, height);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, 0);
    ShowWindow(window, SW_SHOW);
}

void PaintSelector(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(target);
    // The outline goes on a copy; the frozen picture itself stays clean.
    HBITMAP copy = ScreenshotImage ? static_cast<HBITMAP>(CopyImage(ScreenshotImage, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    if (memory && copy) {
        HGDIOBJ oldBitmap = SelectObject(memory, copy);
        HPEN pen = CreatePen(PS_SOLID, 1, OUTLINE_COLOUR);
        HGDIOBJ oldPen = SelectObject(memory, pen);
        MoveToEx(memory, Drag.start.x, Drag.start.y, nullptr);
        LineTo(memory, Drag.start.x, Drag.end.y);
        LineTo(memory, Drag.end.x, Drag.end.y);
        LineTo(memory, Drag.end.x, Drag.start.y);
        LineTo(memory, Drag.start.x, Drag.start.y);
        // The painting context's brush is white, so MERGECOPY shows the picture as it is.
        BitBlt(target, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), memory, 0, 0,
               MERGECOPY);
        SelectObject(memory, oldPen);
        SelectObject(memory, oldBitmap);
        DeleteObject(pen);
    }
    if (copy) DeleteObject(copy);
    if (memory) DeleteDC(memory);
    EndPaint(window, &paint);
}

// Replaces the frozen picture by its part inside the region. The part is cut
// from the picture the user dragged on rather than taken anew from the screen:
// right after the selector is hidden the screen may still show it, outline and all.
void CropScreenshot(const SelectionRect& region) {
    if (!ScreenshotImage) return;
    int width = region.right - region.left, height = region.bottom - region.top;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP part = CreateCompatibleBitmap(screen, width, height);
    if (from && to && part) {
        HGDIOBJ oldFrom = SelectObject(from, ScreenshotImage);
        HGDIOBJ oldTo = SelectObject(to, part);
        BitBlt(to, 0, 0, width, height, from, region.left, region.top, SRCCOPY);
        SelectObject(to, oldTo);
        SelectObject(from, oldFrom);
    } else if (part) {
        DeleteObject(part);
        part = nullptr;
    }
    if (to) DeleteDC(to);
    if (from) DeleteDC(from);
    ReleaseDC(nullptr, screen);
    ReleaseScreenshotImage();
    ScreenshotImage = part;
}

void CancelSelector(HWND window) {
    if (SelectorEnded) return;
    Drag.dragging = false;
    ReleaseCapture();
    EndSelector(window);
    ReleaseScreenshotImage();
    Repaint(window);
}

void FinishSelection(HWND window) {
    if (SelectorEnded) return;
    EndSelector(window);
    ReleaseCapture();
    SelectionRect region;
    bool valid = ReleaseDrag(&Drag, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), &region);
    if (!valid) {
        MessageBoxW(nullptr, MessageText(KD_MSG_SCREENSHOT, KD_MSG_SCREENSHOT_TEXT), AppCaption, MB_OK);
        ReleaseScreenshotImage();
        return;
    }
    CropScreenshot(region);
    if (ScreenshotImage) DeliverScreenshot();
    Repaint(window);
}
}  // namespace

void ReleaseScreenshotImage() {
    if (ScreenshotImage) DeleteObject(ScreenshotImage);
    ScreenshotImage = nullptr;
}

void CaptureRegion(int left, int top, int right, int bottom) {
    ReleaseScreenshotImage();
    if (right <= left || bottom <= top) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, right - left, bottom - top);
    if (memory && image) {
        HGDIOBJ old = SelectObject(memory, image);
        BitBlt(memory, 0, 0, right - left, bottom - top, screen, left, top, SRCCOPY);
        SelectObject(memory, old);
        ScreenshotImage = image;
    } else if (image) {
        DeleteObject(image);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

INT_PTR CALLBACK SelectorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenSelector(window);
        break;
    case WM_PAINT:
        PaintSelector(window);
        break;
    case WM_MOUSEMOVE:
        SetCrossCursor();
        if (!SelectorEnded && MoveDrag(&Drag, MousePoint(lParam))) Repaint(window);
        break;
    case WM_LBUTTONDOWN:
        if (SelectorEnded) break;
        SetCrossCursor();
        SetCapture(window);
        PressDrag(&Drag, MousePoint(lParam));
        break;
    case WM_LBUTTONUP:
        FinishSelection(window);
        break;
    case WM_RBUTTONUP:
        CancelSelector(window);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) CancelSelector(window);
        break;
    case WM_COMMAND:
        // The dialog manager turns Escape into a cancel command.
        if (LOWORD(wParam) == IDCANCEL) CancelSelector(window);
        break;
    case WM_DEVMODECHANGE:
        if (SelectorEnded) break;
        SelectorEnded = true;
        ReleaseCapture();
        ReleaseScreenshotImage();
        EndDialog(window, 0);
        break;
    case WM_CLOSE:
        EndDialog(window, wParam);
        break;
    }
    return 0;
}

void TakeScreenshot() {
    if (SelectorOpen) return;
    SelectorOpen = true;
    DialogBoxParamW(AppInstance, KD_SELECTOR_DIALOG, nullptr, SelectorProc, 0);
    // However the dialog ended, no image outlives it.
    ReleaseScreenshotImage();
    Drag.dragging = false;
    SelectorOpen = false;
}
