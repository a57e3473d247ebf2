// Pixels as a user sees them: a known picture to take screenshots of, the screen
// saved and compared from outside the program, and the clipboard's bitmap.
#include <cstdio>

#include "driverCommands.h"
#include "probeClient.h"
#include "probeProtocol.h"

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;  // 0x00RRGGBB, top-down
    uint32_t at(int x, int y) const { return data[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
};

// 32-bit pixels, top row first.
BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height, Pixels* out) {
    BITMAPINFO info = TopDown32(width, height);
    out->width = width;
    out->height = height;
    out->data.assign(size_t(width) * size_t(height), 0);
    return GetDIBits(dc, bitmap, 0, UINT(height), out->data.data(), &info, DIB_RGB_COLORS) == height;
}

bool CaptureScreen(Pixels* out) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    ok = ok && ReadBitmap(screen, bitmap, width, height, out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SavePixels(const std::wstring& path, const Pixels& pixels) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    int size[2] = {pixels.width, pixels.height};
    bool ok = fwrite(size, sizeof size, 1, file) == 1 &&
              fwrite(pixels.data.data(), sizeof(uint32_t), pixels.data.size(), file) == pixels.data.size();
    fclose(file);
    return ok;
}

bool LoadPixels(const std::wstring& path, Pixels* pixels) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    int size[2] = {};
    bool ok = fread(size, sizeof size, 1, file) == 1 && size[0] > 0 && size[1] > 0;
    if (ok) {
        pixels->width = size[0];
        pixels->height = size[1];
        pixels->data.assign(size_t(size[0]) * size_t(size[1]), 0);
        ok = fread(pixels->data.data(), sizeof(uint32_t), pixels->data.size(), file) == pixels->data.size();
    }
    fclose(file);
    return ok;
}

bool ParseRect(const DriverArgs& args, size_t first, RECT* rect) {
    ULONG64 v[4];
    for (size_t i = 0; i < 4; ++i)
        if (!ParseNumber(args.words[first + i], &v[i])) return false;
    *rect = {LONG(v[0]), LONG(v[1]), LONG(v[2]), LONG(v[3])};
    return rect->left < rect->right && rect->top < rect->bottom;
}

// Every channel no brighter and the pixel as a whole darker.
bool Darker(uint32_t now, uint32_t before) {
    int sumNow = 0, sumBefore = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = int((now >> shift) & 0xFF), b = int((before >> shift) & 0xFF);
        if (a > b) return false;
        sumNow += a;
        sumBefore += b;
    }
    return sumNow < sumBefore;
}

// No channel below 64, so that any dimming shows, and a different colour nearly everywhere.
uint32_t PatternColour(int x, int y) {
    uint32_t r = 64 + uint32_t(x % 192), g = 64 + uint32_t(y % 192), b = 64 + uint32_t((x + 2 * y) % 192);
    return (r << 16) | (g << 8) | b;
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[size_t(y) * size_t(width) + size_t(x)] = PatternColour(x, y);
    BITMAPINFO info = TopDown32(width, height);
    SetDIBitsToDevice(dc, 0, 0, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), pixels.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
}

}  // namespace

// pattern [--seconds S]: a full-screen picture of known, bright colours.
int CmdPattern(const DriverArgs& args) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PatternProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KdDriverPattern";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"kd-pattern", WS_POPUP | WS_VISIBLE, 0,
                                  0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window) return DRIVER_FAILED;
    UpdateWindow(window);
    PumpMessages(300);
    Print(L"ready\t" + HandleText(window));
    PumpMessages(args.seconds * 1000);
    return DRIVER_OK;
}

// screen save PATH | screen compare PATH L T R B: the region now against the saved
// screen, inside it and in the rows above it (clear of its outline). screen cursor:
// the pointer's shape.
int CmdScreen(const DriverArgs& args) {
    if (args.words.size() == 1 && args.words[0] == L"cursor") {
        // Cursor handles differ between processes: the probe asks inside the program (--pid).
        std::wstring name;
        if (!args.pid || !RunProbe(args.pid, PROBE_CURSOR, nullptr, 5000, &name)) return DRIVER_FAILED;
        Print(name);
        return DRIVER_OK;
    }
    if (args.words.size() == 2 && args.words[0] == L"save") {
        Pixels now;
        if (!CaptureScreen(&now)) return DRIVER_FAILED;
        return SavePixels(args.words[1], now) ? DRIVER_OK : DRIVER_FAILED;
    }
    RECT r;
    if (args.words.size() != 6 || args.words[0] != L"compare" || !ParseRect(args, 2, &r)) return DRIVER_USAGE;
    Pixels before, now;
    if (!LoadPixels(args.words[1], &before) || !CaptureScreen(&now)) return DRIVER_FAILED;
    if (now.width != before.width || now.height != before.height || r.right > now.width || r.bottom > now.height)
        return DRIVER_USAGE;
    long insideEqual = 0, insideOther = 0, aboveDarker = 0, aboveOther = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) (now.at(x, y) == before.at(x, y) ? insideEqual : insideOther)++;
    for (int y = 0; y + 2 < r.top; ++y)
        for (int x = 0; x < now.width; ++x) (Darker(now.at(x, y), before.at(x, y)) ? aboveDarker : aboveOther)++;
    Print(L"inside_equal=" + std::to_wstring(insideEqual));
    Print(L"inside_other=" + std::to_wstring(insideOther));
    Print(L"above_darker=" + std::to_wstring(aboveDarker));
    Print(L"above_other=" + std::to_wstring(aboveOther));
    return DRIVER_OK;
}

// image clipboard|FILE.bmp PATH L T R B: the clipboard's bitmap, or a saved BMP file,
// against that region of the saved screen.
int CmdImage(const DriverArgs& args) {
    RECT r;
    if (args.words.size() != 6 || !ParseRect(args, 2, &r)) return DRIVER_USAGE;
    Pixels before, image;
    if (!LoadPixels(args.words[1], &before)) return DRIVER_FAILED;
    bool fromClipboard = args.words[0] == L"clipboard";
    if (fromClipboard && !OpenClipboard(nullptr)) return DRIVER_FAILED;
    HBITMAP bitmap = fromClipboard ? static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))
                                   : static_cast<HBITMAP>(LoadImageW(nullptr, args.words[0].c_str(), IMAGE_BITMAP, 0, 0,
                                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP shape = {};
    bool ok = bitmap && GetObjectW(bitmap, sizeof shape, &shape);
    if (ok) {
        HDC screen = GetDC(nullptr);
        ok = ReadBitmap(screen, bitmap, shape.bmWidth, shape.bmHeight, &image);
        ReleaseDC(nullptr, screen);
    }
    if (fromClipboard) CloseClipboard();
    else if (bitmap) DeleteObject(bitmap);
    if (!ok) return DRIVER_NOT_FOUND;
    Print(L"size=" + std::to_wstring(image.width) + L"x" + std::to_wstring(image.height));
    long equal = 0, other = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            bool onScreen = r.left + x < before.width && r.top + y < before.height;
            (onScreen && image.at(x, y) == before.at(r.left + x, r.top + y) ? equal : other)++;
        }
    Print(L"equal=" + std::to_wstring(equal));
    Print(L"other=" + std::to_wstring(other));
    return DRIVER_OK;
}
