#include <gtest/gtest.h>
#include <string>

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

TEST(PathFolderLength, TheFolderAsThePlatformTakesIt) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    };
    for (const Case& c : {Case{L"C:\\kd\\KeyDeputy.exe", L"C:\\kd"}, Case{L"C:\\KeyDeputy.exe", L"C:\\"},
                          Case{L"\\\\server\\share\\k.xml", L"\\\\server\\share"}, Case{L"\\k.xml", L"\\"},
                          Case{L"/tmp/kd/k.xml", L"/tmp/kd"}, Case{L"kd/sub\\k.xml", L"kd/sub"},
                          Case{L"KeyDeputy.xml", L""}, Case{L"", L""}}) {
        EXPECT_EQ(std::wstring(c.path, PathFolderLength(c.path)), c.folder) << c.path;
    }
}
