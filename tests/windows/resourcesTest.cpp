// The resources linked into the program: icon "A", dialogs "101" and "102", the manifest.
// Each is checked twice where it matters: as the template bytes windres wrote, and as
// what the platform makes of them at run time (Chinese texts read back as UTF-16).
// The version information is read from KeyDeputy.exe itself, as its file properties show it.
#include <gtest/gtest.h>
#include <windows.h>
#include <winver.h>
#include <cstdio>
#include <cwchar>
#include <cstring>
#include <string>
#include <utility>
#include <vector>
#include "app/resourceIds.h"
#include "tests/windows/testSupport.h"

namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

std::string ResourceBytes(const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(Self(), name, type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(Self(), found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(Self(), found)) : std::string();
}

// Little-endian reader over a resource; reading past the end gives zeros and sets overrun.
struct Reader {
    const std::string& bytes;
    size_t at = 0;
    bool overrun = false;
    unsigned u16() {
        if (at + 2 > bytes.size()) { overrun = true; return 0; }
        unsigned v = uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8;
        at += 2;
        return v;
    }
    uint32_t u32() { uint32_t low = u16(); return low | uint32_t(u16()) << 16; }
    int16_t s16() { return int16_t(u16()); }
    void alignTo4() { at = (at + 3) & ~size_t(3); }
    // sz_Or_Ord: 0 (none), 0xFFFF and an ordinal (returned as "#n"), or a string.
    std::wstring nameOrOrdinal() {
        unsigned first = u16();
        if (first == 0xFFFF) return L"#" + std::to_wstring(u16());
        return first == 0 ? std::wstring() : wchar_t(first) + text();
    }
    std::wstring text() {
        std::wstring s;
        for (unsigned c = u16(); c != 0 && !overrun; c = u16()) s += wchar_t(c);
        return s;
    }
};

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring WindowText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

struct ExpectedControl {
    int id;
    const wchar_t* templateClass;  // the predefined class ordinal windres writes
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    short x, y, cx, cy;
};

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
// Template order is the Tab order: text, minutes, the choices (one tab stop), 确定.
const ExpectedControl REMINDER_CONTROLS[] = {
    {-1, L"#128", L"Button", L"设置定时提醒", CHILD | BS_GROUPBOX, 2, 3, 200, 83},
    {IDC_REMINDER_TEXT, L"#129", L"Edit", L"",
     CHILD | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 6, 24, 190, 57},
    {-1, L"#130", L"Static", L"在", CHILD | SS_LEFT | WS_GROUP, 10, 12, 16, 10},
    {IDC_REMINDER_MINUTES, L"#129", L"Edit", L"", CHILD | ES_NUMBER | WS_BORDER | WS_TABSTOP, 21, 12, 22, 10},
    {-1, L"#130", L"Static", L"分钟后执行指定操作", CHILD | SS_LEFT | WS_GROUP, 46, 12, 76, 10},
    {IDC_POWER_NONE, L"#128", L"Button", L"不执行", CHILD | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 6, 90, 38, 12},
    {IDC_POWER_OFF, L"#128", L"Button", L"关机", CHILD | BS_AUTORADIOBUTTON, 46, 90, 32, 12},
    {IDC_RESTART, L"#128", L"Button", L"重启", CHILD | BS_AUTORADIOBUTTON, 80, 90, 32, 12},
    {IDC_LOGOFF, L"#128", L"Button", L"注销", CHILD | BS_AUTORADIOBUTTON, 114, 90, 32, 12},
    {IDOK, L"#128", L"Button", L"确定", CHILD | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 152, 88, 50, 14},
};
constexpr DWORD REMINDER_STYLE = 0x80C808C0;

}  // namespace

TEST(IconResource, GroupAHoldsThe48_32_16PixelImagesAt32Bits) {
    HICON icon = LoadIconW(Self(), KD_ICON_NAME);
    ASSERT_NE(icon, nullptr);

    std::string group = ResourceBytes(KD_ICON_NAME, RT_GROUP_ICON);
    ASSERT_EQ(group.size(), 6u + 3 * 14) << "GRPICONDIR with three entries";
    Reader r{group};
    EXPECT_EQ(r.u16(), 0u);
    EXPECT_EQ(r.u16(), 1u) << "type icon";
    ASSERT_EQ(r.u16(), 3u);
    const int sizes[] = {48, 32, 16};
    for (int size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(int(uint8_t(group[r.at])), size);
        EXPECT_EQ(int(uint8_t(group[r.at + 1])), size);
        r.at += 4;
        EXPECT_EQ(r.u16(), 1u) << "planes";
        EXPECT_EQ(r.u16(), 32u) << "bits per pixel";
        uint32_t bytes = r.u32();
        unsigned id = r.u16();
        // The image itself: a 32-bit DIB of that size, colour and mask rows.
        std::string image = ResourceBytes(MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_EQ(image.size(), bytes);
        BITMAPINFOHEADER header;
        ASSERT_GE(image.size(), sizeof header);
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size);
        EXPECT_EQ(header.biBitCount, 32);
        EXPECT_EQ(bytes, sizeof header + size * size * 4u + (size + 31) / 32 * 4u * size);

        // The platform picks the matching image when asked for that size.
        HICON sized = static_cast<HICON>(LoadImageW(Self(), KD_ICON_NAME, IMAGE_ICON, size, size, 0));
        ASSERT_NE(sized, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(sized, &info));
        BITMAP colour = {};
        ASSERT_NE(info.hbmColor, nullptr);
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(sized);
    }
}

TEST(DialogResources, SelectorTemplateIsAnEmptyZeroSizedPopup) {
    std::string bytes = ResourceBytes(KD_SELECTOR_DIALOG, RT_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "no dialog named \"101\" (a numeric 101 does not count)";
    EXPECT_EQ(FindResourceW(Self(), MAKEINTRESOURCEW(IDD_SELECTOR), RT_DIALOG), nullptr);
    Reader r{bytes};
    EXPECT_EQ(r.u32(), DWORD(WS_POPUP)) << "style";
    EXPECT_EQ(r.u32(), 0u) << "extended style";
    EXPECT_EQ(r.u16(), 0u) << "controls";
    r.at += 4;
    EXPECT_EQ(r.s16(), 0) << "width";
    EXPECT_EQ(r.s16(), 0) << "height";
    EXPECT_FALSE(r.overrun);

    HWND dialog = CreateDialogParamW(Self(), KD_SELECTOR_DIALOG, nullptr, IdleDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    // The platform adds WS_CLIPSIBLINGS to top-level windows and DS_3DLOOK to dialogs.
    EXPECT_EQ(DWORD(GetWindowLongW(dialog, GWL_STYLE)) & ~DWORD(WS_CLIPSIBLINGS | DS_3DLOOK), DWORD(WS_POPUP));
    EXPECT_EQ(GetWindow(dialog, GW_CHILD), nullptr);
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
    EXPECT_EQ(WindowText(dialog), L"");
    DestroyWindow(dialog);
}

TEST(DialogResources, ReminderTemplateHeaderAndControls) {
    std::string bytes = ResourceBytes(KD_REMINDER_DIALOG, RT_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "no dialog named \"102\"";
    Reader r{bytes};
    EXPECT_EQ(r.u16(), 1u) << "DIALOGEX version";
    ASSERT_EQ(r.u16(), 0xFFFFu) << "DIALOGEX signature";
    r.u32();
    EXPECT_EQ(r.u32(), 0u) << "extended style";
    EXPECT_EQ(r.u32(), REMINDER_STYLE);
    const unsigned count = r.u16();
    ASSERT_EQ(count, std::size(REMINDER_CONTROLS));
    EXPECT_EQ(r.s16(), 0);
    EXPECT_EQ(r.s16(), 0);
    EXPECT_EQ(r.s16(), 205);
    EXPECT_EQ(r.s16(), 107);
    EXPECT_EQ(r.nameOrOrdinal(), L"") << "menu";
    EXPECT_EQ(r.nameOrOrdinal(), L"") << "class";
    EXPECT_EQ(r.text(), L"KeyDeputy定时提醒");
    EXPECT_EQ(r.u16(), 9u) << "point size";
    r.u16();
    r.u16();
    EXPECT_EQ(r.text(), L"Tahoma");
    for (const ExpectedControl& want : REMINDER_CONTROLS) {
        SCOPED_TRACE(testing::Message() << "control " << want.id << " " << (want.text[0] ? "" : "(no text)"));
        r.alignTo4();
        r.u32();
        EXPECT_EQ(r.u32(), 0u) << "extended style";
        EXPECT_EQ(r.u32(), want.style);
        EXPECT_EQ(r.s16(), want.x);
        EXPECT_EQ(r.s16(), want.y);
        EXPECT_EQ(r.s16(), want.cx);
        EXPECT_EQ(r.s16(), want.cy);
        EXPECT_EQ(int(r.u32()), want.id);
        EXPECT_EQ(r.nameOrOrdinal(), want.templateClass);
        EXPECT_EQ(r.nameOrOrdinal(), want.text);
        r.at += r.u16();
    }
    EXPECT_FALSE(r.overrun);
}

TEST(DialogResources, ReminderDialogAsCreated) {
    HWND dialog = CreateDialogParamW(Self(), KD_REMINDER_DIALOG, nullptr, IdleDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), L"KeyDeputy定时提醒");
    DWORD style = DWORD(GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(style & REMINDER_STYLE, REMINDER_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE), 0u);

    // Controls come back in template order, with their texts as UTF-16.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& want : REMINDER_CONTROLS) {
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(WORD(GetDlgCtrlID(child)), WORD(want.id));
        EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), want.className), 0) << ClassOf(child).c_str();
        EXPECT_EQ(WindowText(child), want.text);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);

    const int radios[] = {IDC_POWER_NONE, IDC_POWER_OFF, IDC_RESTART, IDC_LOGOFF};
    for (int id : radios) EXPECT_EQ(IsDlgButtonChecked(dialog, id), UINT(BST_UNCHECKED)) << id;

    // One group: choosing a radio button clears whichever other one was chosen.
    // (The dialog stays hidden: destroying a shown window costs Wine two seconds.)
    for (int chosen : radios) {
        SendDlgItemMessageW(dialog, chosen, BM_CLICK, 0, 0);
        for (int id : radios)
            EXPECT_EQ(IsDlgButtonChecked(dialog, id), UINT(id == chosen ? BST_CHECKED : BST_UNCHECKED))
                << "chose " << chosen << ", looked at " << id;
    }
    DestroyWindow(dialog);
}

TEST(ManifestResource, AsksForCommonControls6AndPerMonitorDpi) {
    std::string manifest = ResourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2<"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm<"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);

    // The loader honoured it: the side-by-side version 6 is what the process loads.
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    _wcslwr(path);
    EXPECT_NE(std::wcsstr(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6."), nullptr) << path;
}

namespace {

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// One string of a version block, or "(missing)".
std::wstring VersionString(const std::vector<char>& block, const std::wstring& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) return L"(missing)";
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(VersionResource, ProgramCarriesTheProjectVersionAndItsNames) {
    const std::wstring program = LinuxFilePath(KD_PROGRAM_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version information in " << KD_PROGRAM_PATH;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));

    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(KD_VERSION, "%u.%u.%u", &major, &minor, &patch), 3) << KD_VERSION;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(major << 16 | minor));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(patch << 16));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or patched flag";
    EXPECT_EQ(fixed->dwFileOS, DWORD(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

    // The properties page shows the strings of the first translation listed.
    const WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0804) << "Simplified Chinese";
    EXPECT_EQ(translation[1], 1200) << "UTF-16";
    wchar_t table[64];
    std::swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"FileDescription", L"KeyDeputy 托盘热键工具"},
        {L"FileVersion", Widen(KD_VERSION)},
        {L"ProductVersion", Widen(KD_VERSION)},
        {L"ProductName", L"KeyDeputy"},
        {L"InternalName", L"KeyDeputy"},
        {L"OriginalFilename", L"KeyDeputy.exe"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(VersionString(block, table + std::wstring(key)), value) << key;

    // The manifest names the program's assembly with the same version.
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* manifest = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string text(manifest, SizeofResource(image, found));
    EXPECT_NE(text.find(std::string("name=\"KeyDeputy\" version=\"") + KD_VERSION + ".0\""), std::string::npos)
        << text.substr(0, 300);
    FreeLibrary(image);
}
