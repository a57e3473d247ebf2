#include "screenshot/imageOutput.h"

#include "lib/textCopy.h"

#include <climits>

// "PNP Format" is the description users have always seen for PNG.
const wchar_t SCREENSHOT_FILTER[] =
    L"PNP Format\0*.png\0JPEG Format\0*.jpg\0GIF Format\0*.gif\0BMP Format\0*.bmp\0TIFF Format\0*.tiff\0\0";

wchar_t ScreenshotFileName[SCREENSHOT_NAME_SIZE] = L"Screenshot01";
int ScreenshotCounter = 2;

namespace {
struct EncoderRow {
    const wchar_t* extension;
    const wchar_t* mime;
};
const EncoderRow ENCODER_ROWS[SCREENSHOT_FORMAT_COUNT] = {
    {L".png", L"image/png"}, {L".jpg", L"image/jpeg"}, {L".gif", L"image/gif"},
    {L".bmp", L"image/bmp"}, {L".tiff", L"image/tiff"},
};
}  // namespace

const wchar_t* FilterExtension(int filterIndex) {
    if (filterIndex < 1 || filterIndex > SCREENSHOT_FORMAT_COUNT) filterIndex = 1;
    // The pattern of pair n follows the (2n - 1)-th NUL; its "*" is dropped.
    const wchar_t* text = SCREENSHOT_FILTER;
    for (int nuls = 0; nuls < 2 * filterIndex - 1; ++text)
        if (*text == 0) ++nuls;
    return text + 1;
}

bool CompleteExtension(wchar_t* name, size_t capacity, int filterIndex) {
    const wchar_t* extension = FilterExtension(filterIndex);
    if (TextContains(name, extension)) return true;
    size_t length = TextLength(name);
    if (length + TextLength(extension) >= capacity) return false;
    return AppendTextCut(name, capacity, extension);
}

bool NeedsReplaceQuestion(const wchar_t* confirmed, int filterIndex, wchar_t* completed, size_t capacity,
                          bool (*fileExists)(const wchar_t* name)) {
    // A name too long to complete is saved as confirmed, which the dialog asked about.
    if (!CopyTextCut(completed, capacity, confirmed) || !CompleteExtension(completed, capacity, filterIndex))
        return false;
    return TextLength(completed) != TextLength(confirmed) && fileExists(completed);
}

int MatchingEncoderMimes(const wchar_t* fileName, const wchar_t* mimes[SCREENSHOT_FORMAT_COUNT]) {
    int count = 0;
    for (const EncoderRow& row : ENCODER_ROWS)
        if (TextContains(fileName, row.extension)) mimes[count++] = row.mime;
    return count;
}

void FormatScreenshotName(wchar_t* dest, size_t capacity, int number) {
    wchar_t digits[16];
    int n = 0;
    unsigned value = number < 0 ? 0u - unsigned(number) : unsigned(number);
    do {
        digits[n++] = wchar_t(L'0' + value % 10);
        value /= 10;
    } while (value);
    if (number < 0) {
        digits[n++] = L'-';
    } else if (n < 2) {
        digits[n++] = L'0';
    }
    wchar_t text[32] = L"Screenshot";
    size_t at = TextLength(text);
    while (n) text[at++] = digits[--n];
    text[at] = 0;
    CopyTextCut(dest, capacity, text);
}

void AdvanceScreenshotName() {
    FormatScreenshotName(ScreenshotFileName, SCREENSHOT_NAME_SIZE, ScreenshotCounter);
    if (ScreenshotCounter < INT_MAX) ++ScreenshotCounter;
}
