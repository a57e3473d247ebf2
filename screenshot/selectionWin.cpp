#include "screenshot/selectionWin.h"

#include <windowsx.h>

#include <cstdlib>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "app/resourceIds.h"
#include "lib/textCopy.h"
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

// The frozen picture at half brightness, shown outside the selection; the
// picture itself stays untouched for the capture.
HBITMAP DimmedImage = nullptr;

const COLORREF OUTLINE_COLOUR = RGB(0, 20, 255);
const COLORREF LABEL_BACKGROUND = RGB(0, 0, 0);
const COLORREF LABEL_TEXT = RGB(255, 255, 255);

void ReleaseDimmedImage() {
    if (DimmedImage) DeleteObject(DimmedImage);
    DimmedImage = nullptr;
}

// Without it the selector shows the picture undimmed, as before.
void MakeDimmedImage(int width, int height) {
    ReleaseDimmedImage();
    if (!ScreenshotImage || width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    size_t count = size_t(width) * size_t(height);
    auto* pixels = static_cast<uint32_t*>(malloc(count * sizeof(uint32_t)));
    HDC screen = GetDC(nullptr);
    HBITMAP dimmed = CreateCompatibleBitmap(screen, width, height);
    if (pixels && dimmed && GetDIBits(screen, ScreenshotImage, 0, UINT(height), pixels, &info, DIB_RGB_COLORS)) {
        DimPixels(pixels, count);
        if (SetDIBits(screen, dimmed, 0, UINT(height), pixels, &info, DIB_RGB_COLORS)) {
            DimmedImage = dimmed;
            dimmed = nullptr;
        }
    }
    if (dimmed) DeleteObject(dimmed);
    ReleaseDC(nullptr, screen);
    free(pixels);
}

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
    MakeDimmedImage(width, height);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, 0);
    ShowWindow(window, SW_SHOW);
}

void DrawSizeLabel(HDC dc, const SelectionRect& region, int width, int height) {
    wchar_t text[SELECTION_LABEL_SIZE];
    FormatSelectionSize(region, text, SELECTION_LABEL_SIZE);
    int length = int(TextLength(text));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text, length, &extent);
    constexpr int PAD = 4;
    SelectionPoint at = PlaceSelectionLabel(region, extent.cx + 2 * PAD, extent.cy + 2 * PAD, width, height);
    RECT box = {at.x, at.y, at.x + extent.cx + 2 * PAD, at.y + extent.cy + 2 * PAD};
    SetBkColor(dc, LABEL_BACKGROUND);
    SetTextColor(dc, LABEL_TEXT);
    ExtTextOutW(dc, at.x + PAD, at.y + PAD, ETO_OPAQUE, &box, text, UINT(length), nullptr);
    SelectObject(dc, oldFont);
}

// Everything is composed off screen and shown with one copy, so nothing flickers.
void PaintSelector(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC frame = CreateCompatibleDC(target);
    HDC picture = CreateCompatibleDC(target);
    HBITMAP buffer = CreateCompatibleBitmap(target, width, height);
    if (frame && picture && buffer && ScreenshotImage && !SelectorEnded) {
        HGDIOBJ oldBuffer = SelectObject(frame, buffer);
        HGDIOBJ oldPicture = SelectObject(picture, DimmedImage ? DimmedImage : ScreenshotImage);
        BitBlt(frame, 0, 0, width, height, picture, 0, 0, SRCCOPY);
        SelectionRect region;
        bool shown = Drag.moved && NormaliseSelection(Drag.start, Drag.end, width, height, &region);
        if (shown) {
            // The selection at full brightness, exactly the pixels the capture keeps.
            SelectObject(picture, ScreenshotImage);
            BitBlt(frame, region.left, region.top, region.right - region.left, region.bottom - region.top, picture,
                   region.left, region.top, SRCCOPY);
            // The outline runs just outside the region, so none of its pixels is covered.
            HPEN pen = CreatePen(PS_SOLID, 1, OUTLINE_COLOUR);
            HGDIOBJ oldPen = SelectObject(frame, pen);
            HGDIOBJ oldBrush = SelectObject(frame, GetStockObject(NULL_BRUSH));
            Rectangle(frame, region.left - 1, region.top - 1, region.right + 1, region.bottom + 1);
            SelectObject(frame, oldBrush);
            SelectObject(frame, oldPen);
            DeleteObject(pen);
            if (Drag.dragging) DrawSizeLabel(frame, region, width, height);
        }
        BitBlt(target, 0, 0, width, height, frame, 0, 0, SRCCOPY);
        SelectObject(picture, oldPicture);
        SelectObject(frame, oldBuffer);
    }
    if (buffer) DeleteObject(buffer);
    if (picture) DeleteDC(picture);
    if (frame) DeleteDC(frame);
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
    if (IsPlainClick(Drag)) {
        // A click is how a user says "not now": no box.
        ReleaseScreenshotImage();
        return;
    }
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
    case WM_ERASEBKGND:
        // Every paint covers the whole window: erasing first would only flash.
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_PAINT:
        PaintSelector(window);
        break;
    case WM_SETCURSOR:
        // Over the whole selector, before the first move and between moves.
        SetCrossCursor();
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
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
    ReleaseDimmedImage();
    Drag.dragging = false;
    SelectorOpen = false;
}
