#include <gtest/gtest.h>
#include "lib/textCopy.h"

TEST(CopyTextCut, FitsOrCutsWithinCapacity) {
    wchar_t buf[4];
    EXPECT_TRUE(CopyTextCut(buf, 4, L"abc"));
    EXPECT_STREQ(buf, L"abc");
    EXPECT_FALSE(CopyTextCut(buf, 4, L"abcdef"));
    EXPECT_STREQ(buf, L"abc");
    EXPECT_TRUE(CopyTextCut(buf, 4, nullptr));
    EXPECT_STREQ(buf, L"");
}

TEST(CopyTextCut, NeverSplitsASurrogatePair) {
    // "ab" then U+1F600 as a pair: a cut after three units would split it.
    const wchar_t text[] = {L'a', L'b', wchar_t(0xD83D), wchar_t(0xDE00), 0};
    wchar_t buf[4];
    EXPECT_FALSE(CopyTextCut(buf, 4, text));
    EXPECT_STREQ(buf, L"ab");
    wchar_t wide[5];
    EXPECT_TRUE(CopyTextCut(wide, 5, text));
    EXPECT_EQ(wide[3], wchar_t(0xDE00));
}

TEST(AppendTextCut, AppendsUntilFull) {
    wchar_t buf[6] = L"ab";
    EXPECT_TRUE(AppendTextCut(buf, 6, L"\tc"));
    EXPECT_STREQ(buf, L"ab\tc");
    EXPECT_FALSE(AppendTextCut(buf, 6, L"xyz"));
    EXPECT_STREQ(buf, L"ab\tcx");
}

TEST(TextCompare, ContainsAndCaseRules) {
    EXPECT_TRUE(TextContains(L"C:\\Users\\Temp\\x.exe", L"Temp"));
    EXPECT_FALSE(TextContains(L"C:\\TEMP\\x.exe", L"Temp"));
    EXPECT_TRUE(TextContains(L"Templates", L"Temp"));
    EXPECT_TRUE(TextContainsIgnoreAsciiCase(L"C:\\TEMP\\x.exe", L"temp"));
    EXPECT_TRUE(TextContainsIgnoreAsciiCase(L"Ctrl+ALT+N", L"alt"));
    EXPECT_FALSE(TextContainsIgnoreAsciiCase(L"Ctrl+AL", L"alt"));
    EXPECT_FALSE(TextContainsIgnoreAsciiCase(L"\u00C4x", L"\u00E4"));  // only ASCII folds
    EXPECT_TRUE(TextEqualsIgnoreAsciiCase(L"Settings", L"settings"));
    EXPECT_FALSE(TextEqualsIgnoreAsciiCase(L"Setting", L"settings"));
    EXPECT_FALSE(TextEqualsIgnoreAsciiCase(L"\u00C4", L"\u00E4"));  // only ASCII folds
}
