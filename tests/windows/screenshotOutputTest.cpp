// The selected region's way out under Wine: the save dialog filled in from
// outside, the files GDI+ writes read back, and the clipboard on cancel.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <cwchar>
#include <string>

#include "screenshot/imageOutput.h"
#include "screenshot/imageOutputWin.h"
#include "screenshot/selectionWin.h"
#include "tests/windows/actionsTestSupport.h"
#include "tests/windows/screenshotTestSupport.h"
#include "tests/windows/testSupport.h"

namespace {
const std::string PNG_MAGIC = "\x89PNG\r\n\x1a\n";
const std::string JPEG_MAGIC = "\xff\xd8\xff";
const std::string GIF_MAGIC = "GIF8";
const std::string BMP_MAGIC = "BM";
const std::string TIFF_MAGIC = std::string("II*\0", 4);

using ScreenshotOutput = KnownPictureTest;

// Drags the region in the child's selector and returns its save dialog.
HWND SelectRegion(DWORD pid, int x0, int y0, int x1, int y1) {
    if (!WaitForSelector(pid, 15000)) return nullptr;
    if (!Drag(x0, y0, x1, y1)) return nullptr;
    return WaitForSaveDialog(pid, 15000);
}

const std::string EARLIER_BYTES = "an earlier screenshot";

// A child whose screenshot is saved as "holiday" (typed without its extension)
// into a fresh folder that already holds holiday.png.
struct SaveOverEarlier {
    std::wstring folder;
    std::wstring earlier;
    ChildGuard child{nullptr};
    DWORD pid = 0;
};

// Sets the scene up to the save; the question box that should follow, or null.
HWND SaveOverEarlierFile(const wchar_t* folderName, SaveOverEarlier* scene) {
    scene->folder = MakeTempFolder(folderName);
    scene->earlier = scene->folder + L"\\holiday.png";
    if (!WriteBytes(scene->earlier, EARLIER_BYTES.data(), EARLIER_BYTES.size())) return nullptr;
    scene->child.process = StartScreenshots(1, scene->folder, false);
    if (!scene->child.process) return nullptr;
    scene->pid = GetProcessId(scene->child.process);
    HWND dialog = SelectRegion(scene->pid, 100, 100, 300, 200);
    if (!dialog) return nullptr;
    SaveFromDialog(dialog, scene->folder + L"\\holiday", 1);
    return WaitForBox(L"KeyDeputy v2.0", scene->pid, 15000);
}
}  // namespace

TEST_F(ScreenshotOutput, SavedFileHoldsExactlyTheSelectedScreenPixels) {
    std::wstring folder = MakeTempFolder(L"shotpng");
    ChildGuard child{StartScreenshots(2, folder, false)};
    ASSERT_NE(child.process, nullptr);
    DWORD pid = GetProcessId(child.process);

    HWND dialog = SelectRegion(pid, 100, 100, 300, 200);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogFileName(dialog), L"Screenshot01");
    // The proposal in this test's folder (the dialog opens in the last folder used), PNG.
    SaveFromDialog(dialog, folder + L"\\" + DialogFileName(dialog), 1);

    // The reverse drag between the same corners, saved under a typed name.
    dialog = SelectRegion(pid, 300, 200, 100, 100);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogFileName(dialog), L"Screenshot02");
    SaveFromDialog(dialog, folder + L"\\reverse", 1);
    EXPECT_EQ(WaitChild(child.process, 20000), 4);

    for (const wchar_t* name : {L"\\Screenshot01.png", L"\\reverse.png"}) {
        SCOPED_TRACE(testing::Message() << "file " << std::string(name, name + wcslen(name)));
        EXPECT_EQ(FileStart(folder + name, 8), PNG_MAGIC);
        Picture saved;
        ASSERT_TRUE(ReadImageFile(folder + name, &saved));
        EXPECT_EQ(saved.width, 200);
        EXPECT_EQ(saved.height, 100);
        EXPECT_EQ(PixelsDifferingFromScreen(saved, 100, 100), 0);
    }
}

TEST_F(ScreenshotOutput, EachFormatWritesItsOwnFileKind) {
    struct Row {
        const wchar_t* typed;
        int filterIndex;
        const wchar_t* written;
        const std::string* magic;
        bool lossless;
    };
    const Row rows[] = {
        {L"one", 1, L"one.png", &PNG_MAGIC, true},
        {L"two", 2, L"two.jpg", &JPEG_MAGIC, false},
        {L"three", 3, L"three.gif", &GIF_MAGIC, false},
        {L"four", 4, L"four.bmp", &BMP_MAGIC, true},
        {L"five", 5, L"five.tiff", &TIFF_MAGIC, true},
        // A name ending in a known extension keeps it and gets its format, in any case.
        {L"photo.jpg", 1, L"photo.jpg", &JPEG_MAGIC, false},
        {L"UP.PNG", 1, L"UP.PNG", &PNG_MAGIC, true},
        {L"notes.txt", 4, L"notes.txt.bmp", &BMP_MAGIC, true},
    };
    const int count = int(sizeof rows / sizeof rows[0]);
    std::wstring folder = MakeTempFolder(L"shotformats");
    ChildGuard child{StartScreenshots(count, folder, false)};
    ASSERT_NE(child.process, nullptr);
    DWORD pid = GetProcessId(child.process);
    for (const Row& row : rows) {
        HWND dialog = SelectRegion(pid, 100, 100, 300, 200);
        ASSERT_NE(dialog, nullptr);
        SaveFromDialog(dialog, folder + L"\\" + row.typed, row.filterIndex);
    }
    EXPECT_EQ(WaitChild(child.process, 20000), 2 + count);

    for (const Row& row : rows) {
        std::wstring path = folder + L"\\" + row.written;
        SCOPED_TRACE(testing::Message() << "typed " << std::string(row.typed, row.typed + wcslen(row.typed))
                                        << ", filter " << row.filterIndex);
        EXPECT_EQ(FileStart(path, row.magic->size()), *row.magic);
        if (row.magic == &GIF_MAGIC) {
            // Wine's GDI+ does not read back the GIF it writes; its header tells the size.
            std::string head = FileStart(path, 10);
            ASSERT_EQ(head.size(), 10u);
            EXPECT_EQ(uint8_t(head[6]) | uint8_t(head[7]) << 8, 200);
            EXPECT_EQ(uint8_t(head[8]) | uint8_t(head[9]) << 8, 100);
            continue;
        }
        Picture saved;
        ASSERT_TRUE(ReadImageFile(path, &saved));
        EXPECT_EQ(saved.width, 200);
        EXPECT_EQ(saved.height, 100);
        if (row.lossless) {
            EXPECT_EQ(PixelsDifferingFromScreen(saved, 100, 100), 0);
        }
        if (wcscmp(row.typed, row.written) != 0) {
            EXPECT_EQ(FileStart(folder + L"\\" + row.typed, 1), "");
        } else {
            EXPECT_EQ(FileStart(path + FilterExtension(row.filterIndex), 1), "") << "the chosen type's extension added";
        }
    }
}

TEST_F(ScreenshotOutput, CancelledDialogPutsTheRegionOnTheClipboard) {
    ASSERT_TRUE(PutClipboardText(L"before the screenshot"));
    std::wstring folder = MakeTempFolder(L"shotclip");
    ChildGuard child{StartScreenshots(2, folder, false)};
    ASSERT_NE(child.process, nullptr);
    DWORD pid = GetProcessId(child.process);

    HWND dialog = SelectRegion(pid, 150, 120, 350, 220);
    ASSERT_NE(dialog, nullptr);
    CancelDialog(dialog);

    // The second selector is up: the child is done with the clipboard.
    ASSERT_NE(WaitForSelector(pid, 15000), nullptr);
    Picture copied;
    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    bool read = bitmap && ReadBitmap(bitmap, &copied);
    bool hasText = IsClipboardFormatAvailable(CF_UNICODETEXT);
    CloseClipboard();
    ASSERT_TRUE(read) << "no CF_BITMAP readable from this process";
    EXPECT_FALSE(hasText) << "the clipboard was not emptied first";
    EXPECT_EQ(copied.width, 200);
    EXPECT_EQ(copied.height, 100);
    EXPECT_EQ(PixelsDifferingFromScreen(copied, 150, 120), 0);

    // A cancel leaves the proposal where it was.
    ASSERT_TRUE(Drag(100, 100, 300, 300));
    dialog = WaitForSaveDialog(pid, 15000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogFileName(dialog), L"Screenshot01");
    CancelDialog(dialog);
    EXPECT_EQ(WaitChild(child.process, 20000), 2);

    // The image outlives the process that put it there.
    ASSERT_TRUE(OpenClipboard(nullptr));
    bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    read = bitmap && ReadBitmap(bitmap, &copied);
    CloseClipboard();
    ASSERT_TRUE(read);
    EXPECT_EQ(copied.width, 200);
    EXPECT_EQ(copied.height, 200);
    EXPECT_EQ(PixelsDifferingFromScreen(copied, 100, 100), 0);
}


TEST_F(ScreenshotOutput, CompletedNameOfAnExistingFileIsAskedAbout) {
    SaveOverEarlier scene;
    HWND box = SaveOverEarlierFile(L"shotreplace", &scene);
    ASSERT_NE(box, nullptr) << "replaced without a question";
    EXPECT_EQ(BoxText(box), scene.earlier + L" 已存在。\n要替换它吗？");
    EXPECT_TRUE(BoxHasButton(box, IDYES));
    EXPECT_EQ(DefaultButton(box), IDNO);
    ASSERT_TRUE(AnswerBox(box, IDNO));

    // No: the file stays as it was, and the dialog comes back with the name given.
    HWND dialog = WaitForSaveDialog(scene.pid, 15000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FileStart(scene.earlier, 64), EARLIER_BYTES);
    EXPECT_EQ(DialogFileName(dialog), L"holiday");
    SaveFromDialog(dialog, L"", 1);
    box = WaitForBox(L"KeyDeputy v2.0", scene.pid, 15000);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerBox(box, IDYES));
    EXPECT_EQ(WaitChild(scene.child.process, 20000), 3);

    Picture saved;
    ASSERT_TRUE(ReadImageFile(scene.earlier, &saved));
    EXPECT_EQ(saved.width, 200);
    EXPECT_EQ(saved.height, 100);
    EXPECT_EQ(PixelsDifferingFromScreen(saved, 100, 100), 0);
}

TEST_F(ScreenshotOutput, QuitWhileAskedKeepsTheFileAndSavesNothing) {
    SaveOverEarlier scene;
    HWND box = SaveOverEarlierFile(L"shotquit", &scene);
    ASSERT_NE(box, nullptr);
    // The exit action confirmed meanwhile: the question ends, and the dialog does not come back.
    ASSERT_TRUE(PostThreadMessageW(GetWindowThreadProcessId(box, nullptr), WM_QUIT, 0, 0));
    EXPECT_EQ(WaitChild(scene.child.process, 20000), 2) << "a file was saved after all";
    EXPECT_EQ(FileStart(scene.earlier, 64), EARLIER_BYTES);
}

namespace {
// The failure box that follows a save; its text, or empty when none came. The
// image must be on the clipboard by then, the earlier text gone.
std::wstring SaveFailure(DWORD pid) {
    HWND box = WaitForBox(L"KeyDeputy v2.0", pid, 15000);
    if (!box) return L"";
    std::wstring text = BoxText(box);
    EXPECT_FALSE(BoxHasButton(box, IDYES)) << "a question where a failure was due";
    Picture copied;
    bool read = false;
    if (OpenClipboard(nullptr)) {
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        read = bitmap && ReadBitmap(bitmap, &copied);
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
        CloseClipboard();
    }
    EXPECT_TRUE(read) << "the image is not on the clipboard";
    EXPECT_EQ(copied.width, 200);
    EXPECT_TRUE(AnswerBox(box, IDOK));
    return text;
}

// "截图无法保存到 <path>", the platform's reason on a line of its own, the clipboard said.
void ExpectFailureText(const std::wstring& text, const std::wstring& path) {
    const std::wstring head = L"截图无法保存到 " + path + L"\n";
    const std::wstring tail = L"\n图片已放入剪贴板。";
    ASSERT_GT(text.size(), head.size() + tail.size()) << "no reason given";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    std::wstring reason = text.substr(head.size(), text.size() - head.size() - tail.size());
    EXPECT_EQ(reason.find(L'\n'), std::wstring::npos) << "reason: one line";
}
}  // namespace

TEST_F(ScreenshotOutput, FailedSavesAreSaidAndTheImageGoesToTheClipboard) {
    std::wstring folder = MakeTempFolder(L"shotfail");
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\dir.png").c_str(), nullptr));
    std::wstring readOnly = folder + L"\\ro.png";
    ASSERT_TRUE(WriteBytes(readOnly, EARLIER_BYTES.data(), EARLIER_BYTES.size()));
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring held = folder + L"\\held.png";
    ASSERT_TRUE(WriteBytes(held, EARLIER_BYTES.data(), EARLIER_BYTES.size()));
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    ASSERT_TRUE(PutClipboardText(L"before the screenshot"));
    ChildGuard child{StartScreenshots(3, folder, false)};
    ASSERT_NE(child.process, nullptr);
    DWORD pid = GetProcessId(child.process);

    // A folder and a read-only file of the completed name: refused before any question.
    for (const wchar_t* typed : {L"dir", L"ro"}) {
        SCOPED_TRACE(testing::Message() << "typed " << std::string(typed, typed + wcslen(typed)));
        HWND dialog = SelectRegion(pid, 100, 100, 300, 200);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(DialogFileName(dialog), L"Screenshot01") << "a failed save advanced the number";
        SaveFromDialog(dialog, folder + L"\\" + typed, 1);
        ExpectFailureText(SaveFailure(pid), folder + L"\\" + typed + L".png");
        ASSERT_TRUE(PutClipboardText(L"before the screenshot"));
    }

    // A file another program holds open: asked, Yes, and the write fails.
    HWND dialog = SelectRegion(pid, 100, 100, 300, 200);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogFileName(dialog), L"Screenshot01");
    SaveFromDialog(dialog, folder + L"\\held", 1);
    HWND question = WaitForBox(L"KeyDeputy v2.0", pid, 15000);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(BoxText(question), held + L" 已存在。\n要替换它吗？");
    ASSERT_TRUE(AnswerBox(question, IDYES));
    ExpectFailureText(SaveFailure(pid), held);

    EXPECT_EQ(WaitChild(child.process, 20000), 2) << "the number advanced";
    CloseHandle(holder);
    EXPECT_EQ(FileStart(held, 64), EARLIER_BYTES);
    EXPECT_EQ(FileStart(readOnly, 64), EARLIER_BYTES);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ScreenshotOutputLibraries, WithoutThemNothingIsWrittenAndTheImageGoesToTheClipboard) {
    SystemFunctionPatch noDialog(SystemLibrary::Comdlg32, "GetSaveFileNameW", nullptr);
    SystemFunctionPatch noEncoders(SystemLibrary::Gdiplus, "GdipGetImageEncodersSize", nullptr);
    SystemFunctionPatch noBitmap(SystemLibrary::Gdiplus, "GdipCreateBitmapFromHBITMAP", nullptr);
    CLSID clsid = {};
    clsid.Data1 = 0x4b44;
    EXPECT_FALSE(FindEncoderClsid(L"image/png", &clsid));
    EXPECT_EQ(clsid.Data1, 0x4b44u);

    HDC screen = GetDC(nullptr);
    ScreenshotImage = CreateCompatibleBitmap(screen, 20, 10);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(ScreenshotImage, nullptr);
    std::wstring file = MakeTempFolder(L"shotnolib") + L"\\shot.png";
    EXPECT_NE(SaveImageFile(file.c_str()), 0u);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);

    // A dialog that cannot open takes the cancel road: the clipboard, proposal kept.
    ASSERT_TRUE(PutClipboardText(L"before the screenshot"));
    int counter = ScreenshotCounter;
    DeliverScreenshot();
    EXPECT_EQ(ScreenshotImage, nullptr);
    EXPECT_EQ(ScreenshotCounter, counter);
    EXPECT_STREQ(ScreenshotFileName, L"Screenshot01");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}
