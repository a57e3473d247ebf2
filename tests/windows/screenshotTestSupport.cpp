#include "tests/windows/screenshotTestSupport.h"

#include <objidl.h>
#include <gdiplus.h>
#include <cstdio>
#include <cwchar>

#include "actions/actionHandlers.h"
#include "app/appInstance.h"
#include "screenshot/imageOutput.h"
#include "screenshot/selectionWin.h"
#include "tests/windows/configFixture.h"
#include "tests/windows/testSupport.h"

using namespace Gdiplus::DllExports;

const wchar_t* const SCREENSHOT_MESSAGE_OVERRIDE = L"选区无效，请重新拖动";

namespace {
const wchar_t* const PICTURE_CLASS = L"kdShotPicture";

unsigned PictureRgb(int x, int y) {
    unsigned blue = unsigned(((x >> 8) & 3) | (((y >> 8) & 3) << 2)) * 16 + 8;
    return unsigned(x & 255) << 16 | unsigned(y & 255) << 8 | blue;
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static std::vector<unsigned> bits;
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (bits.empty()) {
        bits.resize(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bits[size_t(y) * size_t(width) + size_t(x)] = PictureRgb(x, y);
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
}

bool ShowsPicture() {
    HDC screen = GetDC(nullptr);
    bool shown = true;
    const int points[][2] = {{100, 100}, {299, 199}, {700, 500}};
    for (const auto& p : points) {
        COLORREF c = GetPixel(screen, p[0], p[1]);
        unsigned rgb = unsigned(GetRValue(c)) << 16 | unsigned(GetGValue(c)) << 8 | GetBValue(c);
        if (rgb != PictureRgb(p[0], p[1])) shown = false;
    }
    ReleaseDC(nullptr, screen);
    return shown;
}

bool OwnedBy(HWND window, DWORD pid) {
    DWORD owner = 0;
    DWORD thread = GetWindowThreadProcessId(window, &owner);
    return pid ? owner == pid : thread == GetCurrentThreadId();
}

bool IsDialogClass(HWND window) {
    wchar_t name[16];
    return GetClassNameW(window, name, 16) && wcscmp(name, L"#32770") == 0;
}

struct WindowSearch {
    DWORD pid;
    bool (*match)(HWND);
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!IsWindowVisible(window) || !OwnedBy(window, search->pid) || !search->match(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForWindow(DWORD pid, bool (*match)(HWND), DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {pid, match, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeoutMs) return search.found;
        // This thread's own windows need their messages while it waits.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
}

}  // namespace

bool IsSelectorWindow(HWND window) {
    RECT r;
    return IsDialogClass(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
           GetWindowRect(window, &r) && r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
           r.bottom == GetSystemMetrics(SM_CYSCREEN) && !GetWindow(window, GW_CHILD);
}

namespace {
// The explorer-style save dialog: its file type list (cmb1) and name box (cmb13).
bool IsSaveDialog(HWND window) { return IsDialogClass(window) && GetDlgItem(window, 0x470) && GetDlgItem(window, 0x47c); }

bool IsAnyWindow(HWND) { return true; }

HWND NameEdit(HWND dialog) {
    HWND box = GetDlgItem(dialog, 0x47c);
    HWND combo = FindWindowExW(box, nullptr, L"ComboBox", nullptr);
    HWND edit = FindWindowExW(combo ? combo : box, nullptr, L"Edit", nullptr);
    return edit ? edit : box;
}

void StartGdiplus() {
    static ULONG_PTR token = 0;
    if (token) return;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}
}  // namespace

COLORREF PictureColour(int x, int y) {
    unsigned rgb = PictureRgb(x, y);
    return RGB(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
}

KD_CHILD_MODE(ChildShowsPicture, L"shotpicture") {
    WNDCLASSW type = {};
    type.lpfnWndProc = PictureProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = PICTURE_CLASS;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&type);
    CreateWindowExW(0, PICTURE_CLASS, L"picture", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, type.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

HANDLE ShowPicture() {
    HANDLE child = StartScreenshotChild(L"shotpicture", L"");
    if (!child) return nullptr;
    for (int i = 0; i < 200; ++i) {
        if (ShowsPicture()) return child;
        Sleep(50);
    }
    TerminateProcess(child, 1);
    CloseHandle(child);
    return nullptr;
}

namespace {
// Wine's own export that maps a Windows path to the Unix one.
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char* (*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    std::string result = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return result;
}
}  // namespace

bool Xdo(const std::wstring& arguments) {
    // Wine starts a program given by its Unix path as a native process, but hands
    // back no handle to wait on: the shell leaves a file behind when xdotool is done.
    static std::wstring folder = MakeTempFolder(L"xdo");
    static int serial = 0;
    std::wstring done = folder + L"\\done" + std::to_wstring(++serial);
    std::string unixDone = UnixPath(done);
    if (unixDone.empty()) return false;
    std::wstring command = L"/bin/sh -c \"/usr/bin/xdotool " + arguments + L"; : > '" +
                           std::wstring(unixDone.begin(), unixDone.end()) + L"'\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    for (int i = 0; i < 750; ++i) {
        if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(done.c_str());
            return true;
        }
        Sleep(20);
    }
    return false;
}

bool Drag(int x0, int y0, int x1, int y1) {
    wchar_t script[256];
    swprintf(script, 256,
             L"mousemove %d %d sleep 0.1 mousedown 1 sleep 0.1 mousemove %d %d sleep 0.1 mousemove %d %d sleep 0.2 "
             L"mouseup 1",
             x0, y0, (x0 + x1) / 2, (y0 + y1) / 2, x1, y1);
    return Xdo(script);
}

HWND WaitForSelector(DWORD pid, DWORD timeoutMs) {
    HWND found = WaitForWindow(pid, IsSelectorWindow, timeoutMs);
    if (found && pid && timeoutMs) Sleep(300);  // let X map it before input is aimed at it
    return found;
}

HWND WaitForSaveDialog(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, IsSaveDialog, timeoutMs); }

bool ShowsAnyWindow(DWORD pid) { return WaitForWindow(pid, IsAnyWindow, 0) != nullptr; }

std::wstring DialogFileName(HWND dialog) {
    wchar_t name[512] = L"";
    SendMessageW(NameEdit(dialog), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(name));
    return name;
}

void SaveFromDialog(HWND dialog, const std::wstring& name, int filterIndex) {
    HWND types = GetDlgItem(dialog, 0x470);
    SendMessageW(types, CB_SETCURSEL, WPARAM(filterIndex - 1), 0);
    // The dialog takes the chosen filter on the end of a selection, as a user's click ends it.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    if (!name.empty()) SendMessageW(NameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void CancelDialog(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

bool ReadImageFile(const std::wstring& path, Picture* picture) {
    StartGdiplus();
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok || !bitmap) return false;
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    picture->width = int(width);
    picture->height = int(height);
    picture->pixels.assign(size_t(width) * height, 0);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            Gdiplus::ARGB argb = 0;
            GdipBitmapGetPixel(bitmap, INT(x), INT(y), &argb);
            picture->pixels[size_t(y) * width + x] = argb & 0xFFFFFF;
        }
    GdipDisposeImage(bitmap);
    return true;
}

bool ReadBitmap(HBITMAP bitmap, Picture* picture) {
    BITMAP shape = {};
    if (!GetObjectW(bitmap, sizeof shape, &shape)) return false;
    picture->width = shape.bmWidth;
    picture->height = shape.bmHeight;
    picture->pixels.assign(size_t(shape.bmWidth) * size_t(shape.bmHeight), 0);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = -shape.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, UINT(shape.bmHeight), picture->pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (unsigned& p : picture->pixels) p &= 0xFFFFFF;
    return rows == shape.bmHeight;
}

int PixelsDifferingFromScreen(const Picture& picture, int left, int top) {
    int differing = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y) != PictureRgb(left + x, top + y)) ++differing;
    return differing;
}

std::string FileStart(const std::wstring& path, size_t count) {
    std::string bytes(count, '\0');
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return {};
    bytes.resize(fread(bytes.data(), 1, count, f));
    fclose(f);
    return bytes;
}

namespace {
bool OpenClipboardPatiently() {
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}
}  // namespace

bool PutClipboardText(const wchar_t* text) {
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    if (!OpenClipboardPatiently()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!placed) GlobalFree(memory);
    CloseClipboard();
    return placed;
}

std::wstring ClipboardText() {
    if (!OpenClipboardPatiently()) return L"(clipboard busy)";
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

int LiveGdiObjects() {
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported) return int(reported);
    static std::vector<HPEN> pens;
    pens.clear();
    pens.reserve(70000);
    while (pens.size() < 70000) {
        HPEN pen = CreatePen(PS_SOLID, 1, 0);
        if (!pen) break;
        pens.push_back(pen);
    }
    for (HPEN pen : pens) DeleteObject(pen);
    return 70000 - int(pens.size());
}

size_t HeapBytesInUse() {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    if (count > 64) count = 64;
    size_t total = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

HANDLE StartScreenshotChild(const wchar_t* name, const std::wstring& arg) {
    // Wine waits up to 2 s for a window manager to withdraw every managed window
    // it hides; Xvfb has none. A copy of this binary under a name of its own
    // gets the X11 driver's unmanaged mode, which hides at once.
    static std::wstring copy;
    if (copy.empty()) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path = MakeTempFolder(L"shotexe") + L"\\kdshot.exe";
        HKEY key = nullptr;
        if (!CopyFileW(self, path.c_str(), FALSE) ||
            RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\kdshot.exe\\X11 Driver", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
        RegCloseKey(key);
        copy = path;
    }
    return StartChild(name, arg, copy);
}

HANDLE StartScreenshots(int rounds, const std::wstring& folder, bool messageOverride) {
    return StartScreenshotChild(L"shotrun", std::to_wstring(rounds) + L"|" + folder + L"|" + (messageOverride ? L"o" : L""));
}

KD_CHILD_MODE(ChildTakesScreenshots, L"shotrun") {
    std::wstring request = arg;
    size_t bar = request.find(L'|'), last = request.rfind(L'|');
    int rounds = _wtoi(request.substr(0, bar).c_str());
    std::wstring folder = request.substr(bar + 1, last - bar - 1);
    bool messageOverride = request.substr(last + 1) == L"o";
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    std::wstring document = L"<KeyDeputy><菜单><截图>屏幕截图</截图></菜单>";
    if (messageOverride) document += std::wstring(L"<语言><屏幕截图>") + SCREENSHOT_MESSAGE_OVERRIDE + L"</屏幕截图></语言>";
    document += L"</KeyDeputy>";
    if (!UseConfig(document.c_str())) return 91;
    AppInstance = GetModuleHandleW(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    for (int i = 0; i < rounds; ++i) TakeScreenshot();
    Gdiplus::GdiplusShutdown(token);
    return ScreenshotImage || SelectorOpen ? 90 : ScreenshotCounter;
}
