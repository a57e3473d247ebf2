// The tokenizer's shortcuts must agree with its rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/xmlTokenizer.h"

TEST(XmlTokenizer, TextEndTableFollowsTheRule) {
    for (uint32_t c = 0; c < 0x10000; ++c) {
        bool expected = c == 0 || c == L'<' || c == L'>' || c == L'=' || c == L'/' || IsXmlSpace(wchar_t(c));
        EXPECT_EQ(EndsXmlText(wchar_t(c)), expected) << c;
    }
}

TEST(XmlTokenizer, MarkerTableIsOnlyConsultedWhereAMarkerCanStart) {
    // ReadXmlToken looks for clear sections only after "<!", "<P" and "<S".
    for (const XmlClearTag& tag : XML_CLEAR_TAGS) {
        wchar_t second = FoldAscii(tag.openMarker[1]);
        EXPECT_TRUE(second == L'!' || second == L'p' || second == L's') << testing::PrintToString(tag.openMarker);
    }
    const std::wstring lower[] = {L"<![cdata[x", L"<!doctype x", L"<pre>x", L"<script>x", L"<!--x"};
    for (int i = 0; i < XML_CLEAR_TAG_COUNT; ++i) {
        XmlToken token;
        size_t next = ReadXmlToken(lower[i].c_str(), 0, &token);
        EXPECT_EQ(token.type, XmlTokenType::ClearTagStart) << i;
        EXPECT_EQ(token.clearTag, &XML_CLEAR_TAGS[i]) << i;
        EXPECT_EQ(next, size_t(XML_CLEAR_TAGS[i].openLength)) << i;
    }
}

namespace {
std::vector<std::pair<XmlTokenType, std::wstring>> Tokens(const wchar_t* text) {
    std::vector<std::pair<XmlTokenType, std::wstring>> out;
    XmlToken token;
    for (size_t at = 0;;) {
        at = ReadXmlToken(text, at, &token);
        if (token.type == XmlTokenType::EndOfText) return out;
        out.emplace_back(token.type, std::wstring(token.start, token.length));
    }
}
}  // namespace

TEST(XmlTokenizer, TokensOfAStartTag) {
    using T = XmlTokenType;
    const std::vector<std::pair<XmlTokenType, std::wstring>> expected = {
        {T::TagStart, L"<"},    {T::Text, L"项"},       {T::Text, L"可选"},      {T::Text, L"a/b"},
        {T::Equals, L"="},      {T::QuotedText, L"'x>y'"}, {T::Text, L"\"q"},     {T::TagStart, L"<"},
        {T::Text, L"k"},        {T::ShortTagEnd, L"/>"},   {T::EndTagStart, L"</"}, {T::Text, L"x"},
        {T::TagEnd, L">"},      {T::DeclarationStart, L"<?"}};
    EXPECT_EQ(Tokens(L"< 项\t可选 a/b='x>y' \"q<k/></x><?"), expected);
}
