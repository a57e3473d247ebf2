// The load report's text and the error messages it quotes.
#include <gtest/gtest.h>

#include <string>

#include "lib/xmlLoadReport.h"
#include "lib/xmlReader.h"

namespace {

std::wstring Report(const wchar_t* path, int32_t code, int32_t line, int32_t column, const wchar_t* root) {
    wchar_t buffer[XML_LOAD_REPORT_SIZE];
    for (wchar_t& c : buffer) c = L'#';  // no stale terminator to hide a missing one
    FormatXmlLoadReport(buffer, XML_LOAD_REPORT_SIZE, path, code, line, column, root);
    return buffer;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

TEST(XmlLoadReport, MissingRootNamesTheExpectedOne) {
    EXPECT_EQ(Report(L"C:\\kd\\KeyDeputy.xml", XML_ROOT_NOT_FOUND, 0, 0, L"KeyDeputy"),
              L"配置文件“C:\\kd\\KeyDeputy.xml”解析错误。\n"
              L"错误: 标签没找到。\n"
              L"在 0行 0列。\n"
              L"First Tag should be 'KeyDeputy'.\n");
}

TEST(XmlLoadReport, OtherCodesEndAfterThePosition) {
    EXPECT_EQ(Report(L"a.xml", XML_WARNING_END_TAG_MISMATCH, 12, 345, L"KeyDeputy"),
              L"配置文件“a.xml”解析错误。\n警告: 标签结束不匹配。\n在 12行 345列。\n");
    EXPECT_EQ(Report(L"a.xml", XML_FILE_NOT_FOUND, 0, 0, L"KeyDeputy"),
              L"配置文件“a.xml”解析错误。\n错误: 文件未找到。\n在 0行 0列。\n");
    EXPECT_EQ(Report(L"a.xml", 99, INT32_MAX, -7, nullptr),
              L"配置文件“a.xml”解析错误。\n未知错误。\n在 2147483647行 -7列。\n");
    // Missing texts are empty, never read through a null pointer.
    EXPECT_EQ(Report(nullptr, XML_ROOT_NOT_FOUND, 0, 0, nullptr),
              L"配置文件“”解析错误。\n错误: 标签没找到。\n在 0行 0列。\nFirst Tag should be ''.\n");
}

TEST(XmlLoadReport, LongTextsAreCutToTheBufferAndNeverSplitAPair) {
    std::wstring longPath(2000, L'x');
    std::wstring text = Report(longPath.c_str(), XML_ROOT_NOT_FOUND, 1, 1, L"KeyDeputy");
    EXPECT_EQ(text.size(), XML_LOAD_REPORT_SIZE - 1);
    EXPECT_EQ(text.substr(0, 5), L"配置文件“");
    EXPECT_EQ(text.find(L'”'), std::wstring::npos);  // nothing after the cut piece

    // A surrogate pair across the last place is dropped whole.
    std::wstring pairPath(1023 - 5 - 1, L'p');
    pairPath += wchar_t(0xD83D);
    pairPath += wchar_t(0xDE00);
    text = Report(pairPath.c_str(), XML_NO_DATA, 0, 0, nullptr);
    EXPECT_EQ(text.size(), XML_LOAD_REPORT_SIZE - 2);
    EXPECT_FALSE(IsHighSurrogate(text.back()));

    // A cut inside the expected root name keeps the lines before it intact.
    std::wstring longRoot(1500, L'R');
    text = Report(L"a.xml", XML_ROOT_NOT_FOUND, 3, 4, longRoot.c_str());
    EXPECT_EQ(text.size(), XML_LOAD_REPORT_SIZE - 1);
    const std::wstring head = L"配置文件“a.xml”解析错误。\n错误: 标签没找到。\n在 3行 4列。\nFirst Tag should be 'RRR";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.back(), L'R');

    // Smaller buffers are honoured as well.
    wchar_t small[8];
    FormatXmlLoadReport(small, 8, L"a.xml", XML_NO_DATA, 0, 0, nullptr);
    EXPECT_STREQ(small, L"配置文件“a.");
}

TEST(XmlErrorText, MessagesByCode) {
    EXPECT_STREQ(XmlErrorText(XML_OK), L"没有错误");
    EXPECT_STREQ(XmlErrorText(XML_WARNING_END_TAG_MISMATCH), L"警告: 标签结束不匹配");
    EXPECT_STREQ(XmlErrorText(XML_INVALID_TAG), L"错误: 发现无效标签");
    EXPECT_STREQ(XmlErrorText(XML_ROOT_NOT_FOUND), L"错误: 标签没找到");
    EXPECT_STREQ(XmlErrorText(XML_BASE64_BUFFER), L"错误: Base64 decode output buffer is too small");
    for (int32_t code : {-1, int32_t(XML_OUT_OF_MEMORY), 1000, INT32_MIN})
        EXPECT_STREQ(XmlErrorText(code), L"未知错误") << code;
    // Every message from 1 on starts with its kind, an ASCII colon and a blank.
    for (int32_t code = 1; code <= XML_BASE64_BUFFER; ++code) {
        std::wstring message = XmlErrorText(code);
        EXPECT_TRUE(message.rfind(L"错误: ", 0) == 0 || message.rfind(L"警告: ", 0) == 0) << code;
    }
}
