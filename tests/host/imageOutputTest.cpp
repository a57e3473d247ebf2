#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

#include "lib/textCopy.h"
#include "screenshot/imageOutput.h"

namespace {
// What a save does with a typed name: completed with the chosen format's
// extension unless it ends in one of the five, and the encoder that name selects.
struct Saved {
    std::wstring name;
    std::wstring encoder;
};
Saved SaveAs(const wchar_t* typed, int filterIndex) {
    wchar_t name[SCREENSHOT_NAME_SIZE];
    CopyTextCut(name, SCREENSHOT_NAME_SIZE, typed);
    EXPECT_TRUE(CompleteExtension(name, SCREENSHOT_NAME_SIZE, filterIndex));
    return {name, EncoderMimeOf(name)};
}
enum { PNG = 1, JPEG, GIF, BMP, TIFF };
}  // namespace

// Only the name's final extension counts, in any case: one of the five keeps the name and
// picks its own format whatever the filter; anything else gets the chosen type's extension.
// A folder's name says nothing about the file.
TEST(ScreenshotSave, TheFinalExtensionDecidesNameAndEncoder) {
    const struct {
        const wchar_t* typed;
        int filter;
        const wchar_t* name;
        const wchar_t* encoder;
    } cases[] = {
        {L"Screenshot01", PNG, L"Screenshot01.png", L"image/png"},
        {L"holiday", JPEG, L"holiday.jpg", L"image/jpeg"},
        {L"logo.gif", GIF, L"logo.gif", L"image/gif"},
        {L"C:\\out\\plain", BMP, L"C:\\out\\plain.bmp", L"image/bmp"},
        {L"x.tif", TIFF, L"x.tif.tiff", L"image/tiff"},
        {L"notes.txt", PNG, L"notes.txt.png", L"image/png"},
        {L"photo.jpg", PNG, L"photo.jpg", L"image/jpeg"},
        {L"holiday.png", JPEG, L"holiday.png", L"image/png"},
        {L"UP.PNG", PNG, L"UP.PNG", L"image/png"},
        {L"scan.TiFf", GIF, L"scan.TiFf", L"image/tiff"},
        {L"a.tiff.bmp.gif.jpg.png", BMP, L"a.tiff.bmp.gif.jpg.png", L"image/png"},
        {L"a.png.x", GIF, L"a.png.x.gif", L"image/gif"},
        {L"C:\\my.png.d\\pic", JPEG, L"C:\\my.png.d\\pic.jpg", L"image/jpeg"},
        {L"C:/shots.bmp/pic", GIF, L"C:/shots.bmp/pic.gif", L"image/gif"},
    };
    for (const auto& c : cases) {
        Saved s = SaveAs(c.typed, c.filter);
        EXPECT_EQ(s.name, c.name) << c.filter;
        EXPECT_EQ(s.encoder, c.encoder) << s.name;
    }
    // A bare extension is a name ending in it; a trailing dot is none.
    EXPECT_EQ(FormatOfName(L"C:\\out\\.png"), PNG);
    EXPECT_EQ(FormatOfName(L"shot.png."), 0);
    EXPECT_EQ(FormatOfName(L"shot.pngx"), 0);
    EXPECT_EQ(FormatOfName(L"shotpng"), 0);
    EXPECT_EQ(FormatOfName(L""), 0);
    EXPECT_EQ(FormatOfName(nullptr), 0);
}

TEST(ScreenshotSave, FilterHoldsFivePairsInDialogOrder) {
    // Walk the double-NUL-ended list as the dialog does.
    const wchar_t* expected[] = {L"PNP Format", L"*.png", L"JPEG Format", L"*.jpg", L"GIF Format", L"*.gif",
                                 L"BMP Format", L"*.bmp", L"TIFF Format", L"*.tiff"};
    const wchar_t* text = SCREENSHOT_FILTER;
    int count = 0;
    for (; *text; text += wcslen(text) + 1) {
        ASSERT_LT(count, 10);
        EXPECT_STREQ(text, expected[count]);
        ++count;
    }
    EXPECT_EQ(count, 10);
    for (int n = 1; n <= SCREENSHOT_FORMAT_COUNT; ++n)
        EXPECT_EQ(std::wstring(L"*") + FilterExtension(n), expected[2 * n - 1]);
    // No custom filter is offered; anything else is taken as the first format.
    EXPECT_STREQ(FilterExtension(0), L".png");
    EXPECT_STREQ(FilterExtension(6), L".png");
    EXPECT_STREQ(FilterExtension(-1), L".png");
}

TEST(ScreenshotSave, LongestAcceptedNameStillTakesTheLongestExtension) {
    // Exactly sized on the heap, so the sanitizer sees a write past the end.
    std::unique_ptr<wchar_t[]> name(new wchar_t[SCREENSHOT_NAME_SIZE]);
    std::wstring typed(SCREENSHOT_DIALOG_NAME_SIZE - 1, L'n');
    CopyTextCut(name.get(), SCREENSHOT_NAME_SIZE, typed.c_str());
    ASSERT_TRUE(CompleteExtension(name.get(), SCREENSHOT_NAME_SIZE, TIFF));
    EXPECT_EQ(std::wstring(name.get()), typed + L".tiff");

    // Too little room: refused, nothing half-appended.
    wchar_t small[8] = L"abc";
    EXPECT_FALSE(CompleteExtension(small, 8, TIFF));
    EXPECT_STREQ(small, L"abc");
    EXPECT_TRUE(CompleteExtension(small, 8, PNG));
    EXPECT_STREQ(small, L"abc.png");
}

TEST(ScreenshotProposal, StartsAtOneAndAdvancesAfterEachSave) {
    CopyTextCut(ScreenshotFileName, SCREENSHOT_NAME_SIZE, L"Screenshot01");
    ScreenshotCounter = 2;
    AdvanceScreenshotName();
    EXPECT_STREQ(ScreenshotFileName, L"Screenshot02");
    for (int save = 2; save < 99; ++save) AdvanceScreenshotName();
    EXPECT_STREQ(ScreenshotFileName, L"Screenshot99");
    AdvanceScreenshotName();  // the 100th save
    EXPECT_STREQ(ScreenshotFileName, L"Screenshot100");
    EXPECT_EQ(ScreenshotCounter, 101);
}

TEST(ScreenshotProposal, NumbersHaveAtLeastTwoDigits) {
    wchar_t name[32];
    FormatScreenshotName(name, 32, 0);
    EXPECT_STREQ(name, L"Screenshot00");
    FormatScreenshotName(name, 32, 7);
    EXPECT_STREQ(name, L"Screenshot07");
    FormatScreenshotName(name, 32, 2147483647);
    EXPECT_STREQ(name, L"Screenshot2147483647");
    FormatScreenshotName(name, 32, -5);  // as %02d would write it
    EXPECT_STREQ(name, L"Screenshot-5");
    FormatScreenshotName(name, 32, -2147483647 - 1);
    EXPECT_STREQ(name, L"Screenshot-2147483648");
    wchar_t cut[6];
    FormatScreenshotName(cut, 6, 12);
    EXPECT_STREQ(cut, L"Scree");
}

TEST(ScreenshotProposal, CounterStopsAtItsLargestValue) {
    ScreenshotCounter = 2147483647;
    AdvanceScreenshotName();
    EXPECT_STREQ(ScreenshotFileName, L"Screenshot2147483647");
    EXPECT_EQ(ScreenshotCounter, 2147483647);
    CopyTextCut(ScreenshotFileName, SCREENSHOT_NAME_SIZE, L"Screenshot01");
    ScreenshotCounter = 2;
}

namespace {
// The files a save dialog's folder holds, and the names the decision looked up.
const wchar_t* ExistingFile = nullptr;
std::wstring LookedUp;
bool FakeFileExists(const wchar_t* name) {
    LookedUp = name;
    return ExistingFile && std::wstring(name) == ExistingFile;
}

struct Replace {
    bool ask;
    std::wstring completed;
};
Replace AfterDialog(const wchar_t* confirmed, int filterIndex, const wchar_t* existing) {
    ExistingFile = existing;
    LookedUp.clear();
    wchar_t completed[SCREENSHOT_NAME_SIZE];
    bool ask = NeedsReplaceQuestion(confirmed, filterIndex, completed, SCREENSHOT_NAME_SIZE, FakeFileExists);
    return {ask, completed};
}
}  // namespace

TEST(ScreenshotReplace, AsksOnlyWhenTheCompletedNameIsAnExistingFile) {
    // The proposal of a new run meets the previous run's file.
    Replace r = AfterDialog(L"C:\\shots\\Screenshot01", PNG, L"C:\\shots\\Screenshot01.png");
    EXPECT_TRUE(r.ask);
    EXPECT_EQ(r.completed, L"C:\\shots\\Screenshot01.png");
    EXPECT_EQ(LookedUp, L"C:\\shots\\Screenshot01.png");

    r = AfterDialog(L"C:\\shots\\Screenshot01", JPEG, L"C:\\shots\\Screenshot01.png");
    EXPECT_FALSE(r.ask);
    EXPECT_EQ(r.completed, L"C:\\shots\\Screenshot01.jpg");

    // x.PNG is complete as typed: the dialog's own question covered it.
    r = AfterDialog(L"C:\\shots\\x.PNG", PNG, L"C:\\shots\\x.PNG");
    EXPECT_FALSE(r.ask);
    EXPECT_EQ(r.completed, L"C:\\shots\\x.PNG");
}

TEST(ScreenshotReplace, NameTheDialogAskedAboutIsNotAskedAgain) {
    // Typed with its extension: the dialog's own question covered this name.
    Replace r = AfterDialog(L"C:\\shots\\x.png", PNG, L"C:\\shots\\x.png");
    EXPECT_FALSE(r.ask);
    EXPECT_EQ(r.completed, L"C:\\shots\\x.png");

    // No room to complete: saved as confirmed, so no question either, and nothing written past capacity.
    std::wstring typed(SCREENSHOT_NAME_SIZE - 3, L'n');
    wchar_t completed[SCREENSHOT_NAME_SIZE];
    ExistingFile = nullptr;
    EXPECT_FALSE(NeedsReplaceQuestion(typed.c_str(), TIFF, completed, SCREENSHOT_NAME_SIZE, FakeFileExists));
    EXPECT_EQ(std::wstring(completed), typed);
}
