#include <gtest/gtest.h>

#include <string>

#include "actions/resolution.h"

namespace {
struct Read {
    bool ok;
    int32_t width;
    int32_t height;
};

Read ReadText(const wchar_t* text) {
    Read r = {false, -7, -7};
    r.ok = ReadResolutionText(text, &r.width, &r.height);
    return r;
}

void ExpectSize(const wchar_t* text, int32_t width, int32_t height) {
    Read r = ReadText(text);
    EXPECT_TRUE(r.ok) << "text: " << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

void ExpectRefused(const wchar_t* text) {
    Read r = ReadText(text);
    EXPECT_FALSE(r.ok) << "text: " << testing::PrintToString(std::wstring(text ? text : L"(null)"));
    // A refused text leaves the outputs alone.
    EXPECT_EQ(r.width, -7);
    EXPECT_EQ(r.height, -7);
}
}  // namespace

TEST(ResolutionText, ReadsBothNumbers) {
    ExpectSize(L"分辨率(1024,768)", 1024, 768);
    ExpectSize(L"分辨率(1, 1)", 1, 1);
    ExpectSize(L"分辨率(+800,+600)", 800, 600);
    ExpectSize(L"分辨率(0001280,01024)", 1280, 1024);
}

TEST(ResolutionText, BlanksOnlyBeforeEachNumber) {
    ExpectSize(L"分辨率(1024, 768)", 1024, 768);
    ExpectSize(L"分辨率( 1024,\t768)", 1024, 768);
    ExpectSize(L"分辨率(\r\n 1024,\n\v\f 768)", 1024, 768);
    ExpectRefused(L"分辨率(1024 ,768)");
    ExpectRefused(L"分辨率 (1024,768)");
    ExpectRefused(L" 分辨率(1024,768)");
    ExpectRefused(L"分辨率(- 1024,768)");
}

TEST(ResolutionText, UnicodeBlanksAsThePlatformScanfSkipsThem) {
    ExpectSize(L"分辨率(800,\x3000" L"600)", 800, 600);
    ExpectSize(L"分辨率(\x00A0\x1680\x2000" L"800,\x200A\x2028\x2029\x202F\x205F" L"600)", 800, 600);
    ExpectSize(L"分辨率(\x3000+800,\x3000\x3000" L"600)", 800, 600);
    // Format characters and the old next-line control are not blanks to it.
    for (const wchar_t* notBlank : {L"\x0085", L"\x180E", L"\x200B", L"\xFEFF", L"\x3001", L"\x2060"})
        ExpectRefused((std::wstring(L"分辨率(800,") + notBlank + L"600)").c_str());
    // Still only before a number.
    ExpectRefused(L"分辨率(800\x3000,600)");
    ExpectRefused(L"分辨率\x3000(800,600)");
}

TEST(ResolutionText, NothingAfterTheHeightIsRead) {
    ExpectSize(L"分辨率(1024,768", 1024, 768);
    ExpectSize(L"分辨率(1024,768) 以后", 1024, 768);
    ExpectSize(L"分辨率(1024,768x32)", 1024, 768);
    ExpectSize(L"分辨率(1024,768,60)", 1024, 768);
}

TEST(ResolutionText, MissingNumbersAreRefused) {
    ExpectRefused(L"分辨率()");
    ExpectRefused(L"分辨率(1024)");
    ExpectRefused(L"分辨率(1024,)");
    ExpectRefused(L"分辨率(,768)");
    ExpectRefused(L"分辨率(1024;768)");
    ExpectRefused(L"分辨率(abc,768)");
    ExpectRefused(L"分辨率(+,768)");
    ExpectRefused(L"分辨率(");
    ExpectRefused(L"分辨率");
    ExpectRefused(L"分辨");
    ExpectRefused(L"");
    ExpectRefused(nullptr);
}

TEST(ResolutionText, MustBeginWithTheWordAndParenthesis) {
    ExpectRefused(L"设置分辨率(1024,768)");
    ExpectRefused(L"分辨率（1024,768)");  // a full-width parenthesis is not the ASCII one
    ExpectRefused(L"分辨率[1024,768]");
    ExpectRefused(L"分辨率1024,768");
}

TEST(ResolutionText, NegativeZeroAndHugeNumbersAreRefused) {
    ExpectRefused(L"分辨率(-1024,768)");
    ExpectRefused(L"分辨率(1024,-768)");
    ExpectRefused(L"分辨率(0,768)");
    ExpectRefused(L"分辨率(1024,0)");
    ExpectRefused(L"分辨率(-0,768)");
    // Largest 32-bit value reads; one more overflows.
    ExpectSize(L"分辨率(2147483647,2147483647)", 2147483647, 2147483647);
    ExpectRefused(L"分辨率(2147483648,768)");
    ExpectRefused(L"分辨率(1024,2147483648)");
    ExpectRefused(L"分辨率(99999999999999999999999,768)");
    ExpectRefused(L"分辨率(-2147483648,768)");
    ExpectRefused(L"分辨率(-2147483649,768)");
}
