// Loading XML files from disk: encodings, failures and the configuration's load report.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/configLoad.h"
#include "lib/xmlReader.h"
#include "tests/windows/testSupport.h"

namespace {

const wchar_t CONFIG[] = L"<KeyDeputy><设置><名称>测试</名称></设置></KeyDeputy>";
// The same document in code page 936 and in UTF-8.
const char CONFIG_GBK[] =
    "<KeyDeputy><\xC9\xE8\xD6\xC3><\xC3\xFB\xB3\xC6>\xB2\xE2\xCA\xD4</\xC3\xFB\xB3\xC6></\xC9\xE8\xD6\xC3></KeyDeputy>";
const char CONFIG_UTF8[] =
    "<KeyDeputy><\xE8\xAE\xBE\xE7\xBD\xAE><\xE5\x90\x8D\xE7\xA7\xB0>\xE6\xB5\x8B\xE8\xAF\x95</\xE5\x90\x8D\xE7\xA7\xB0>"
    "</\xE8\xAE\xBE\xE7\xBD\xAE></KeyDeputy>";

class XmlFile : public testing::Test {
protected:
    void SetUp() override {
        folder = MakeTempFolder(L"xml");
        saved = ReaderSettings;
    }
    void TearDown() override { ReaderSettings = saved; }

    std::wstring Write(const wchar_t* name, const void* data, size_t size) {
        std::wstring path = folder + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, data, size));
        return path;
    }
    std::wstring WriteUtf16(const wchar_t* name, const std::wstring& text, bool mark) {
        std::wstring content = (mark ? std::wstring(1, wchar_t(0xFEFF)) : std::wstring()) + text;
        return Write(name, content.data(), content.size() * sizeof(wchar_t));
    }
    std::wstring Write8(const wchar_t* name, const std::string& bytes) {
        return Write(name, bytes.data(), bytes.size());
    }

    std::wstring folder;
    XmlReaderSettings saved;
};

const wchar_t* ConfiguredName(const XmlElement& root) {
    return root.childByName(L"设置", nullptr).childByName(L"名称", nullptr).text(0);
}

}  // namespace

TEST_F(XmlFile, Utf16WithAndWithoutItsMark) {
    for (bool mark : {true, false}) {
        std::wstring path = WriteUtf16(mark ? L"marked.xml" : L"plain.xml", CONFIG, mark);
        XmlParseResult result = {XML_NO_DATA, -1, -1};
        // No expected root: a mark left in the text would be a text block
        // of the top element and the nameless top would come back instead.
        XmlElement root = ParseXmlFile(path.c_str(), nullptr, &result);
        EXPECT_EQ(result.code, XML_OK) << mark;
        EXPECT_EQ(result.line, 0);
        EXPECT_EQ(result.column, 0);
        EXPECT_STREQ(root.name(), L"KeyDeputy") << mark;
        EXPECT_STREQ(ConfiguredName(root), L"测试") << mark;
        XmlLoadOutcome outcome;
        EXPECT_STREQ(ConfiguredName(LoadConfigXml(path.c_str(), L"KeyDeputy", &outcome)), L"测试") << mark;
    }
}

TEST_F(XmlFile, EightBitConfigurationsInTheAnsiCodePageOrUtf8) {
    ASSERT_EQ(GetACP(), 936u);
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const wchar_t* name;
        std::string bytes;
    } cases[] = {
        {L"gbk.xml", CONFIG_GBK},
        {L"utf8.xml", CONFIG_UTF8},
        {L"utf8bom.xml", bom + CONFIG_UTF8},
        {L"ascii.xml", "<?xml version=\"1.0\"?><!-- c --><KeyDeputy><a>b</a></KeyDeputy>"},
    };
    for (const Case& c : cases) {
        std::wstring path = Write8(c.name, c.bytes);
        XmlLoadOutcome outcome;
        XmlElement root = LoadConfigXml(path.c_str(), L"KeyDeputy", &outcome);
        EXPECT_FALSE(ReaderSettings.utf8Input);
        EXPECT_STREQ(root.name(), L"KeyDeputy") << c.name;
        if (c.bytes.find("<a>") == std::string::npos)
            EXPECT_STREQ(ConfiguredName(root), L"测试") << c.name;
        else
            EXPECT_STREQ(root.childAt(0).text(0), L"b");
    }
}

TEST_F(XmlFile, Utf8InputSwitchDecidesUnmarkedNonUtf8Bytes) {
    std::wstring path = Write8(L"gbk.xml", CONFIG_GBK);
    ReaderSettings.utf8Input = true;
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement root = ParseXmlFile(path.c_str(), L"KeyDeputy", &result);
    EXPECT_EQ(result.code, XML_OK);
    EXPECT_TRUE(root.childByName(L"设置", nullptr).isEmpty());  // GBK bytes read as UTF-8 are other characters
    ReaderSettings.utf8Input = false;
    EXPECT_STREQ(ConfiguredName(ParseXmlFile(path.c_str(), L"KeyDeputy", &result)), L"测试");
}

TEST_F(XmlFile, MissingEmptyAndMarkOnlyFiles) {
    XmlParseResult result = {XML_OK, 5, 6};
    EXPECT_TRUE(ParseXmlFile((folder + L"\\none.xml").c_str(), L"KeyDeputy", &result).isEmpty());
    EXPECT_EQ(result.code, XML_FILE_NOT_FOUND);
    EXPECT_EQ(result.line, 0);
    EXPECT_EQ(result.column, 0);
    EXPECT_TRUE(ParseXmlFile(nullptr, L"KeyDeputy", &result).isEmpty());
    EXPECT_EQ(result.code, XML_FILE_NOT_FOUND);
    EXPECT_TRUE(ParseXmlFile(folder.c_str(), L"KeyDeputy", &result).isEmpty());  // a folder, not a file

    result = {XML_OK, 5, 6};
    std::wstring empty = Write(L"empty.xml", "", 0);
    EXPECT_TRUE(ParseXmlFile(empty.c_str(), L"KeyDeputy", &result).isEmpty());
    EXPECT_EQ(result.code, XML_NO_DATA);
    EXPECT_EQ(result.line, 0);
    EXPECT_EQ(result.column, 0);

    // Nothing but a mark converts to an empty text, which holds no root.
    for (const char* mark : {"\xFF\xFE", "\xEF\xBB\xBF"}) {
        std::wstring path = Write(L"mark.xml", mark, strlen(mark));
        result = {XML_OK, 5, 6};
        EXPECT_TRUE(ParseXmlFile(path.c_str(), L"KeyDeputy", &result).isEmpty());
        EXPECT_EQ(result.code, XML_ROOT_NOT_FOUND);
        EXPECT_EQ(result.line, 0);
        EXPECT_EQ(result.column, 0);
    }
    ParseXmlFile(empty.c_str(), nullptr, nullptr);  // no result record wanted
}

TEST_F(XmlFile, OddLengthsAndNulsAreSafe) {
    XmlParseResult result = {XML_OK, 0, 0};
    // Even units with an odd byte: the platform no longer takes it for UTF-16,
    // so it is read as 8-bit text that ends at its first NUL byte.
    std::wstring text = L"<KeyDeputy><a>b</a></KeyDeputy>";
    std::string odd(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    odd += 'x';
    std::wstring path = Write8(L"odd.xml", odd);
    EXPECT_TRUE(ParseXmlFile(path.c_str(), L"KeyDeputy", &result).isEmpty());
    EXPECT_EQ(result.code, XML_MISSING_TAG_NAME);

    // A single byte, and 8-bit text with a NUL in it: the text ends there.
    path = Write8(L"one.xml", "<");
    ParseXmlFile(path.c_str(), L"KeyDeputy", &result);
    EXPECT_EQ(result.code, XML_MISSING_TAG_NAME);
    path = Write8(L"zero.xml", std::string("<KeyDeputy/>\0<garbage", 21));
    EXPECT_STREQ(ParseXmlFile(path.c_str(), L"KeyDeputy", &result).name(), L"KeyDeputy");
    EXPECT_EQ(result.code, XML_OK);

    // UTF-16 cut in the middle of an element: the terminator still ends it.
    std::wstring cut = L"\xFEFF<KeyDeputy><a>b";
    path = Write(L"cut.xml", cut.data(), cut.size() * 2);
    EXPECT_STREQ(ParseXmlFile(path.c_str(), L"KeyDeputy", &result).name(), L"KeyDeputy");
    EXPECT_EQ(result.code, XML_WARNING_END_TAG_MISMATCH);
}

TEST_F(XmlFile, DeepNestingIsRefusedUnderTheWindowsBuild) {
    std::wstring ok, deep;
    for (int i = 0; i < XML_MAX_DEPTH; ++i) ok += L"<a>";
    for (int i = 0; i < XML_MAX_DEPTH; ++i) ok += L"</a>";
    for (int i = 0; i < 200000; ++i) deep += L"<a>";
    XmlParseResult result = {XML_OK, 0, 0};
    EXPECT_FALSE(ParseXmlFile(WriteUtf16(L"ok.xml", ok, true).c_str(), L"a", &result).isEmpty());
    EXPECT_EQ(result.code, XML_OK);
    DWORD start = GetTickCount();
    EXPECT_TRUE(ParseXmlFile(WriteUtf16(L"deep.xml", deep, true).c_str(), L"a", &result).isEmpty());
    EXPECT_EQ(result.code, XML_INVALID_TAG);
    EXPECT_LT(GetTickCount() - start, 2000u);
}

namespace {

KD_CHILD_MODE(XmlLoadConfigChild, L"xmlload") {
    XmlElement root = LoadConfigOrEnd(arg);
    return root.isEmpty() ? 1 : 0;
}

struct LoadOutcome {
    std::wstring report;  // empty: no box appeared
    bool okOnly = false;
    bool ownerless = false;
    int exitCode = -1;
};

LoadOutcome LoadInChild(const std::wstring& path) {
    LoadOutcome outcome;
    HANDLE child = StartChild(L"xmlload", path);
    if (!child) return outcome;
    HWND box = WaitForBox(L"配置文件解析错误", GetProcessId(child), 15000);
    if (box) {
        outcome.report = BoxText(box);
        outcome.okOnly = BoxHasButton(box, IDOK) && !BoxHasButton(box, IDCANCEL) && !BoxHasButton(box, IDYES);
        // Wine shows MB_TOPMOST nowhere a second process can see (no WS_EX_TOPMOST).
        outcome.ownerless = GetWindow(box, GW_OWNER) == nullptr;
        AnswerBox(box, IDOK);
    }
    outcome.exitCode = WaitChild(child, 15000);
    CloseHandle(child);
    return outcome;
}

std::wstring ReportHead(const std::wstring& path) { return L"配置文件“" + path + L"”解析错误。\n"; }

}  // namespace

TEST_F(XmlFile, LoadReportForAWrongRootThenExit255) {
    std::wstring path = WriteUtf16(L"config.xml", L"<Config><设置/></Config>", true);
    LoadOutcome outcome = LoadInChild(path);
    EXPECT_EQ(outcome.report, ReportHead(path) +
                                  L"错误: 标签没找到。\n"
                                  L"在 0行 0列。\n"
                                  L"First Tag should be 'KeyDeputy'.\n");
    EXPECT_TRUE(outcome.okOnly);
    EXPECT_TRUE(outcome.ownerless);
    EXPECT_EQ(outcome.exitCode, 255);
}

TEST_F(XmlFile, LoadReportForUnreadableFilesThenExit255) {
    std::wstring missing = folder + L"\\missing.xml";
    LoadOutcome outcome = LoadInChild(missing);
    EXPECT_EQ(outcome.report, ReportHead(missing) + L"错误: 文件未找到。\n在 0行 0列。\n");
    EXPECT_EQ(outcome.exitCode, 255);

    std::wstring empty = Write(L"empty.xml", "", 0);
    outcome = LoadInChild(empty);
    EXPECT_EQ(outcome.report, ReportHead(empty) + L"错误: 没有数据。\n在 0行 0列。\n");
    EXPECT_EQ(outcome.exitCode, 255);
}

TEST_F(XmlFile, OneMismatchedEndTagIsFatal) {
    // 名称 is closed by 设置's end tag: only a warning for the parser, but the
    // configuration is refused, with the position just after that end tag.
    std::wstring path = WriteUtf16(L"mismatch.xml", L"<KeyDeputy>\r\n<设置><名称>x</设置>\r\n</KeyDeputy>", true);
    LoadOutcome outcome = LoadInChild(path);
    EXPECT_EQ(outcome.report, ReportHead(path) + L"警告: 标签结束不匹配。\n在 2行 15列。\n");
    EXPECT_EQ(outcome.exitCode, 255);

    std::wstring broken = Write8(L"broken.xml", "<KeyDeputy>\n  <a>Tom & Jerry</a>\n</KeyDeputy>");
    outcome = LoadInChild(broken);
    EXPECT_EQ(outcome.report, ReportHead(broken) + L"错误: 未知字符集。\n在 2行 19列。\n");
    EXPECT_EQ(outcome.exitCode, 255);
}

TEST_F(XmlFile, LoaderReportsARefusedFileAndLeavesTheCallerRunning) {
    // In this process: a box or an exit here would hang or end the test.
    std::wstring broken = Write8(L"broken.xml", "<KeyDeputy>\n  <a>Tom & Jerry</a>\n</KeyDeputy>");
    XmlLoadOutcome outcome;
    EXPECT_TRUE(LoadConfigXml(broken.c_str(), L"KeyDeputy", &outcome).isEmpty());
    EXPECT_EQ(outcome.result.code, XML_UNKNOWN_CHARSET);
    EXPECT_EQ(outcome.result.line, 2);
    EXPECT_EQ(std::wstring(outcome.report), ReportHead(broken) + L"错误: 未知字符集。\n在 2行 19列。\n");

    std::wstring good = Write8(L"good.xml", "<keydeputy><a/></keydeputy>");
    EXPECT_FALSE(LoadConfigXml(good.c_str(), L"KeyDeputy", &outcome).isEmpty());
    EXPECT_EQ(outcome.result.code, XML_OK);
    EXPECT_STREQ(outcome.report, L"");
}

TEST_F(XmlFile, GoodConfigurationLoadsInTheChildWithoutABox) {
    std::wstring path = Write8(L"good.xml", "<keydeputy><a/></keydeputy>");
    HANDLE child = StartChild(L"xmlload", path);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitChild(child, 15000), 0);
    CloseHandle(child);
}
