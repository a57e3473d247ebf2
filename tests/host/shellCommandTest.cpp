#include <gtest/gtest.h>

#include <map>
#include <string>

#include "lib/textCopy.h"
#include "menu/shellCommand.h"

namespace {

// A file system, a search path and an environment made of maps.
struct FakeSystem {
    std::map<std::wstring, PathKind> paths;
    std::map<std::wstring, std::wstring> searchPath;  // bare name -> full path
    std::map<std::wstring, std::wstring> variables;
};

PathKind FakePathKind(void* context, const wchar_t* path) {
    auto& paths = static_cast<FakeSystem*>(context)->paths;
    auto found = paths.find(path);
    return found == paths.end() ? PathKind::None : found->second;
}

bool FakeLookup(const std::map<std::wstring, std::wstring>& map, const wchar_t* key, wchar_t* out, size_t capacity) {
    auto found = map.find(key);
    return found != map.end() && CopyTextCut(out, capacity, found->second.c_str());
}

bool FakeSearch(void* context, const wchar_t* name, wchar_t* out, size_t capacity) {
    return FakeLookup(static_cast<FakeSystem*>(context)->searchPath, name, out, capacity);
}

bool FakeVariable(void* context, const wchar_t* name, wchar_t* out, size_t capacity) {
    return FakeLookup(static_cast<FakeSystem*>(context)->variables, name, out, capacity);
}

const wchar_t* const BASE = L"C:\\Tools\\KD";

class ShellCommandTest : public testing::Test {
protected:
    FakeSystem system;
    ShellLookups lookups = {&system, FakePathKind, FakeSearch, FakeVariable};

    void SetUp() override {
        system.paths = {{L"C:\\Program", PathKind::File},  // the decoy a first-blank split would run
                        {L"C:\\Program Files\\App\\app.exe", PathKind::File},
                        {L"C:\\Program Files\\App", PathKind::Folder},
                        {L"C:\\Tools\\KD\\tools\\backup.bat", PathKind::File},
                        {L"C:\\Tools\\KD\\docs", PathKind::Folder},
                        {L"C:\\Tools\\KD\\helper.exe", PathKind::File},
                        {L"C:\\Windows\\notepad.exe", PathKind::File}};
        system.searchPath = {{L"notepad.exe", L"C:\\Windows\\notepad.exe"},
                             {L"notepad", L"C:\\Windows\\notepad.exe"},
                             {L"helper.exe", L"C:\\Windows\\helper.exe"},
                             {L"explorer.exe", L"C:\\Windows\\explorer.exe"}};
        system.variables = {{L"USERPROFILE", L"C:\\Users\\li"}, {L"APP", L"C:\\Program Files\\App"}};
    }

    std::wstring Expand(const wchar_t* text, size_t capacity = SHELL_TEXT_SIZE) {
        wchar_t out[SHELL_TEXT_SIZE];
        if (!ExpandVariables(text, lookups, out, capacity)) return L"<refused>";
        return out;
    }

    ShellCommand Whole(const wchar_t* command, const wchar_t* parameters = nullptr, const wchar_t* folder = nullptr) {
        ShellCommand whole;
        EXPECT_TRUE(PrepareWholeCommand(command, parameters, folder, BASE, lookups, &whole));
        return whole;
    }

    // "file|parameters|folder", or "<no split>".
    std::wstring Split(const wchar_t* command, const wchar_t* parameters = nullptr, const wchar_t* folder = nullptr) {
        ShellCommand whole = Whole(command, parameters, folder);
        ShellCommand split;
        if (!SplitCommand(whole, BASE, lookups, &split)) return L"<no split>";
        return std::wstring(split.file) + L"|" + split.parameters + L"|" + split.folder;
    }
};

TEST_F(ShellCommandTest, VariablesAsTheCommandPromptExpandsThem) {
    EXPECT_EQ(Expand(L"%USERPROFILE%\\Desktop"), L"C:\\Users\\li\\Desktop");
    EXPECT_EQ(Expand(L"\"%APP%\\app.exe\" %USERPROFILE%"), L"\"C:\\Program Files\\App\\app.exe\" C:\\Users\\li");
    // Unset names, lone signs and escapes in addresses stay as written.
    EXPECT_EQ(Expand(L"%NOPE%\\x"), L"%NOPE%\\x");
    EXPECT_EQ(Expand(L"http://a/b%20c%20d"), L"http://a/b%20c%20d");
    EXPECT_EQ(Expand(L"100% %%"), L"100% %%");
    // An unset name's closing sign may open the next name.
    EXPECT_EQ(Expand(L"%NOPE%USERPROFILE%"), L"%NOPEC:\\Users\\li");
    EXPECT_EQ(Expand(L"%"), L"%");
    EXPECT_EQ(Expand(L""), L"");
    // A result that does not fit is refused, never cut.
    EXPECT_EQ(Expand(L"%USERPROFILE%", 11), L"<refused>");
    EXPECT_EQ(Expand(L"%USERPROFILE%", 12), L"C:\\Users\\li");
    EXPECT_EQ(Expand(L"abc", 3), L"<refused>");
}

TEST_F(ShellCommandTest, RelativePathsAreThoseWithoutDriveShareRootOrScheme) {
    for (const wchar_t* path : {L"tools\\backup.bat", L"notepad.exe", L"..\\x.txt", L"docs", L"1:x"})
        EXPECT_TRUE(IsRelativePath(path)) << testing::PrintToString(std::wstring(path));
    for (const wchar_t* path : {L"C:\\x", L"c:x", L"\\\\srv\\share\\a.exe", L"\\x", L"/x", L"https://example.com/",
                                L"mailto:a@b.c", L"a:b\\c d", L"shell:startup", L"ms-settings:display", L""})
        EXPECT_FALSE(IsRelativePath(path)) << testing::PrintToString(std::wstring(path));
    wchar_t out[64];
    ASSERT_TRUE(JoinPath(L"C:\\A", L"b\\c.exe", out, 64));
    EXPECT_STREQ(out, L"C:\\A\\b\\c.exe");
    ASSERT_TRUE(JoinPath(L"C:\\", L"b", out, 64));
    EXPECT_STREQ(out, L"C:\\b");
    ASSERT_TRUE(JoinPath(L"C:\\A", L"D:\\b", out, 64));
    EXPECT_STREQ(out, L"D:\\b");
    EXPECT_FALSE(JoinPath(L"C:\\A", L"bcdef", out, 8));
}

TEST_F(ShellCommandTest, WholeCommandTakesRelativePathsFromTheProgramsFolder) {
    ShellCommand whole = Whole(L"tools\\backup.bat");
    EXPECT_STREQ(whole.file, L"C:\\Tools\\KD\\tools\\backup.bat");
    EXPECT_STREQ(whole.parameters, L"");
    EXPECT_STREQ(whole.folder, BASE);
    EXPECT_STREQ(Whole(L"docs").file, L"C:\\Tools\\KD\\docs");
    // Not there: left to the shell's own search, as written.
    EXPECT_STREQ(Whole(L"notepad.exe").file, L"notepad.exe");
    EXPECT_STREQ(Whole(L"notepad.exe C:\\a.txt").file, L"notepad.exe C:\\a.txt");
    EXPECT_STREQ(Whole(L"https://example.com/a b").file, L"https://example.com/a b");

    whole = Whole(L"%USERPROFILE%\\Desktop", L"/x %USERPROFILE%", L"%APP%");
    EXPECT_STREQ(whole.file, L"C:\\Users\\li\\Desktop");
    EXPECT_STREQ(whole.parameters, L"/x C:\\Users\\li");
    EXPECT_STREQ(whole.folder, L"C:\\Program Files\\App");
    EXPECT_STREQ(Whole(L"a.exe", nullptr, L"work\\dir").folder, L"C:\\Tools\\KD\\work\\dir");
    EXPECT_STREQ(Whole(L"a.exe", nullptr, L"\"D:\\my work\"").folder, L"D:\\my work");
    EXPECT_STREQ(Whole(L"a.exe", nullptr, L"").folder, BASE);

    ShellCommand refused;
    std::wstring huge(SHELL_TEXT_SIZE, L'x');
    EXPECT_FALSE(PrepareWholeCommand(huge.c_str(), nullptr, nullptr, BASE, lookups, &refused));
    EXPECT_FALSE(PrepareWholeCommand(L"a.exe", huge.c_str(), nullptr, BASE, lookups, &refused));
}

TEST_F(ShellCommandTest, OnlyNotFoundWithABlankOutsideQuotesOrALeadingQuoteIsSplit) {
    for (const wchar_t* text : {L"notepad.exe C:\\a.txt", L"\"C:\\Program Files\\App\\app.exe\"", L"a\tb",
                                L"\"a b\" c", L"https://example.com/a b"})
        EXPECT_TRUE(CouldSplit(text)) << testing::PrintToString(std::wstring(text));
    for (const wchar_t* text : {L"notepad.exe", L"C:\\x\\\"a b\"", L"x\"a b\"", L"", L"a\x3000" L"b"})
        EXPECT_FALSE(CouldSplit(text)) << testing::PrintToString(std::wstring(text));
    EXPECT_TRUE(SplitAfterError(SHELL_FILE_NOT_FOUND, L"a b"));
    EXPECT_TRUE(SplitAfterError(SHELL_PATH_NOT_FOUND, L"a b"));
    EXPECT_TRUE(SplitAfterError(SHELL_INVALID_NAME, L"\"a b\" c"));
    EXPECT_FALSE(SplitAfterError(SHELL_FILE_NOT_FOUND, L"ab"));
    // Access denied, no association, out of memory: the text was found; it is not re-read.
    for (uint32_t error : {5u, 8u, 1155u, 0u}) EXPECT_FALSE(SplitAfterError(error, L"a b"));
}

TEST_F(ShellCommandTest, QuotedProgramWithOrWithoutArguments) {
    EXPECT_EQ(Split(L"\"C:\\Program Files\\App\\app.exe\" --profile work"),
              L"C:\\Program Files\\App\\app.exe|--profile work|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"\"C:\\Program Files\\App\\app.exe\""), L"C:\\Program Files\\App\\app.exe||C:\\Tools\\KD");
    EXPECT_EQ(Split(L"\"%APP%\\app.exe\"   \"a b\"  c"), L"C:\\Program Files\\App\\app.exe|\"a b\"  c|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"\"notepad\" x.txt"), L"C:\\Windows\\notepad.exe|x.txt|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"\"tools\\backup.bat\" now"), L"C:\\Tools\\KD\\tools\\backup.bat|now|C:\\Tools\\KD");
    // Quoted, it is the program even when missing: the shell then says why.
    EXPECT_EQ(Split(L"\"C:\\gone\\x.exe\" a"), L"C:\\gone\\x.exe|a|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"\"C:\\Program Files\\App\\app.exe"), L"<no split>");
    EXPECT_EQ(Split(L"\"C:\\Program Files\\App\\app\".exe x"), L"<no split>");
    EXPECT_EQ(Split(L"\"\" x"), L"<no split>");
}

TEST_F(ShellCommandTest, LongestPartThatNamesAProgramIsTheProgram) {
    EXPECT_EQ(Split(L"C:\\Program Files\\App\\app.exe --profile work"),
              L"C:\\Program Files\\App\\app.exe|--profile work|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"notepad.exe C:\\notes\\todo.txt"), L"C:\\Windows\\notepad.exe|C:\\notes\\todo.txt|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"explorer.exe /select,C:\\x"), L"C:\\Windows\\explorer.exe|/select,C:\\x|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"notepad  \t a b"), L"C:\\Windows\\notepad.exe|a b|C:\\Tools\\KD");
    // The program's own folder comes before the search path, as for a relative path.
    EXPECT_EQ(Split(L"helper.exe x"), L"C:\\Tools\\KD\\helper.exe|x|C:\\Tools\\KD");
    EXPECT_EQ(Split(L"tools\\backup.bat full"), L"C:\\Tools\\KD\\tools\\backup.bat|full|C:\\Tools\\KD");
    // Blanks inside quotes are no split points.
    EXPECT_EQ(Split(L"notepad.exe \"C:\\my notes\\a.txt\""),
              L"C:\\Windows\\notepad.exe|\"C:\\my notes\\a.txt\"|C:\\Tools\\KD");
    // The line's arguments come first, then 参数; the folder stays.
    EXPECT_EQ(Split(L"notepad.exe a.txt", L"b.txt", L"D:\\w"), L"C:\\Windows\\notepad.exe|a.txt b.txt|D:\\w");
    EXPECT_EQ(Split(L"\"C:\\Program Files\\App\\app.exe\"", L"--x"), L"C:\\Program Files\\App\\app.exe|--x|C:\\Tools\\KD");
}

TEST_F(ShellCommandTest, TextsThatNameNoProgramAreNotSplit) {
    // A folder is not a program; neither is a name found nowhere, nor an address.
    for (const wchar_t* text : {L"docs x", L"nothing here", L"https://example.com/a b",
                                L"C:\\Windows\\notepad.exe\"x\" y", L"wordpad.exe a.txt"})
        EXPECT_EQ(Split(text), L"<no split>") << testing::PrintToString(std::wstring(text));
    // Longest first, yet a folder is passed over for a shorter part that is a file.
    EXPECT_EQ(Split(L"C:\\Program Files\\App extra"), L"C:\\Program|Files\\App extra|C:\\Tools\\KD");
    // A path is taken as written: bare names only go to the search path.
    system.searchPath[L"sub\\x.exe"] = L"C:\\Windows\\sub\\x.exe";
    EXPECT_EQ(Split(L"sub\\x.exe a"), L"<no split>");
}

}  // namespace
