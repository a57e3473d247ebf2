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
        // The name decides the encoder, the last matching extension winning.
        {L"holiday.png", 2, L"holiday.png.jpg", &JPEG_MAGIC, false},
        {L"a.jpg", 1, L"a.jpg.png", &JPEG_MAGIC, false},
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
    SaveImageFile(file.c_str());
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
