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

int FormatOfName(const wchar_t* name) {
    const wchar_t* dot = nullptr;
    for (const wchar_t* p = name; p && *p; ++p) {
        if (*p == L'\\' || *p == L'/') dot = nullptr;
        else if (*p == L'.') dot = p;
    }
    if (!dot) return 0;
    for (int format = 1; format <= SCREENSHOT_FORMAT_COUNT; ++format)
        if (TextEqualsIgnoreAsciiCase(dot, ENCODER_ROWS[format - 1].extension)) return format;
    return 0;
}

bool CompleteExtension(wchar_t* name, size_t capacity, int filterIndex) {
    if (FormatOfName(name)) return true;
    const wchar_t* extension = FilterExtension(filterIndex);
    if (TextLength(name) + TextLength(extension) >= capacity) return false;
    return AppendTextCut(name, capacity, extension);
}

bool NeedsReplaceQuestion(const wchar_t* confirmed, int filterIndex, wchar_t* completed, size_t capacity,
                          bool (*fileExists)(const wchar_t* name)) {
    // A name too long to complete is saved as confirmed, which the dialog asked about.
    if (!CopyTextCut(completed, capacity, confirmed) || !CompleteExtension(completed, capacity, filterIndex))
        return false;
    return TextLength(completed) != TextLength(confirmed) && fileExists(completed);
}

const wchar_t* EncoderMimeOf(const wchar_t* fileName) {
    int format = FormatOfName(fileName);
    return ENCODER_ROWS[format ? format - 1 : 0].mime;
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
