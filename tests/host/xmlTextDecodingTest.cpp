// Which decoding a file's bytes get: UTF-16, UTF-8 or the ANSI code page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "lib/xmlTextDecoding.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool Valid(const Bytes& b, bool* multi = nullptr) {
    bool ignored;
    return IsValidUtf8(b.data(), b.size(), multi ? multi : &ignored);
}

XmlTextDecision Decide(const Bytes& b, bool looksUtf16 = false, bool utf8Input = false, bool guessUtf16 = true) {
    return DecideXmlTextEncoding(b.data(), b.size(), guessUtf16, looksUtf16, utf8Input);
}

}  // namespace

TEST(XmlUtf8Validity, AcceptsShortestFormsUpToTheLastPlane) {
    bool multi = true;
    EXPECT_TRUE(Valid({'<', 'a', '/', '>'}, &multi));
    EXPECT_FALSE(multi);
    EXPECT_TRUE(Valid({}, &multi));
    EXPECT_FALSE(multi);
    EXPECT_TRUE(Valid({'a', 0, 'b'}));  // NUL is a character like any other here

    const Bytes valid[] = {
        {0xC2, 0x80},              // U+0080
        {0xDF, 0xBF},              // U+07FF
        {0xE0, 0xA0, 0x80},        // U+0800
        {0xE4, 0xB8, 0xAD},        // 中
        {0xED, 0x9F, 0xBF},        // U+D7FF, just below the surrogates
        {0xEE, 0x80, 0x80},        // U+E000, just above them
        {0xEF, 0xBF, 0xBF},        // U+FFFF
        {0xF0, 0x90, 0x80, 0x80},  // U+10000
        {0xF4, 0x8F, 0xBF, 0xBF},  // U+10FFFF
    };
    for (const Bytes& b : valid) {
        multi = false;
        EXPECT_TRUE(Valid(b, &multi)) << testing::PrintToString(b);
        EXPECT_TRUE(multi);
    }
}

TEST(XmlUtf8Validity, RefusesOverlongSurrogatesTooLargeAndCutSequences) {
    const Bytes invalid[] = {
        {0xC0, 0x80},              // overlong NUL
        {0xC1, 0xBF},              // overlong U+007F
        {0xE0, 0x80, 0x80},        // overlong
        {0xE0, 0x9F, 0xBF},        // overlong U+07FF
        {0xF0, 0x8F, 0xBF, 0xBF},  // overlong U+FFFF
        {0xED, 0xA0, 0x80},        // U+D800
        {0xED, 0xBF, 0xBF},        // U+DFFF
        {0xF4, 0x90, 0x80, 0x80},  // U+110000
        {0xF5, 0x80, 0x80, 0x80},
        {0xFF},
        {0x80},                    // continuation without a lead byte
        {'a', 0xBF},
        {0xE4, 0xB8},              // cut off at the end
        {0xF0, 0x90, 0x80},
        {0xE4, 'A', 0xAD},         // lead byte followed by ASCII
        {0xE4, 0xB8, 0xAD, 0xE4},
        {0xD6, 0xD0, 0xCE, 0xC4},  // 中文 in GBK
    };
    for (const Bytes& b : invalid) EXPECT_FALSE(Valid(b)) << testing::PrintToString(b);
}

TEST(XmlTextDecision, Utf16WhenThePlatformSaysSo) {
    XmlTextDecision d = Decide({0xFF, 0xFE, '<', 0}, true);
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf16);
    EXPECT_EQ(d.skipBytes, 2u);
    d = Decide({0xEF, 0xFF, '<', 0}, true);
    EXPECT_EQ(d.skipBytes, 2u);
    d = Decide({'<', 0, 'a', 0}, true);
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf16);
    EXPECT_EQ(d.skipBytes, 0u);
    d = Decide({0xFF}, true);  // too short for a mark
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf16);
    EXPECT_EQ(d.skipBytes, 0u);
    // Without the guess switch the verdict is not consulted.
    d = Decide({'<', 0, 'a', 0}, true, false, false);
    EXPECT_EQ(d.encoding, XmlTextEncoding::Ansi);
}

TEST(XmlTextDecision, EightBitTextUtf8OnlyWhenMarkedOrRecognisable) {
    XmlTextDecision d = Decide({0xEF, 0xBB, 0xBF, '<', 'a', '/', '>'});
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf8);
    EXPECT_EQ(d.skipBytes, 3u);
    d = Decide({0xEF, 0xBB, 0xBF, 0xD6, 0xD0});  // the mark wins even over invalid bytes
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf8);
    EXPECT_EQ(d.skipBytes, 3u);
    d = Decide({'<', 0xE4, 0xB8, 0xAD, '/', '>'});
    EXPECT_EQ(d.encoding, XmlTextEncoding::Utf8);
    EXPECT_EQ(d.skipBytes, 0u);

    // Plain ASCII and anything invalid as UTF-8 go to the ANSI code page...
    for (const Bytes& b : {Bytes{'<', 'a', '/', '>'}, Bytes{'<', 0xD6, 0xD0, '/', '>'}, Bytes{0xEF, 0xBB},
                           Bytes{'<', 0xE4, 0xB8, '/', '>'}, Bytes{'<', 0xED, 0xA0, 0x80, '>'}}) {
        d = Decide(b);
        EXPECT_EQ(d.encoding, XmlTextEncoding::Ansi) << testing::PrintToString(b);
        EXPECT_EQ(d.skipBytes, 0u);
    }
    // ...unless UTF-8 input is asked for.
    EXPECT_EQ(Decide({'<', 0xD6, 0xD0, '>'}, false, true).encoding, XmlTextEncoding::Utf8);
}

namespace {
bool SaysUtf16(const unsigned char*, size_t) { return true; }
bool SaysNot(const unsigned char*, size_t) { return false; }
// Records what it was asked to convert.
std::vector<unsigned char> Converted;
bool ConvertedAsUtf8 = false;
wchar_t* Convert(const unsigned char* bytes, size_t length, bool utf8) {
    Converted.assign(bytes, bytes + length);
    ConvertedAsUtf8 = utf8;
    auto* text = static_cast<wchar_t*>(malloc(sizeof(wchar_t)));
    if (text) text[0] = 0;
    return text;
}
}  // namespace

// The program and the checker decode alike through this one function: UTF-16 is
// taken unit by unit past its mark, up to the first zero unit; 8-bit text goes to
// the platform without its mark, as UTF-8 or in the code page the settings say.
TEST(DecodeXmlText, Utf16UpToTheFirstZeroUnitAndEightBitToThePlatform) {
    XmlTextDecision decision;
    const Bytes utf16 = {0xFF, 0xFE, '<', 0, 0x1C, 0x83, 'b', 0, 0, 0, 'c', 0};
    wchar_t* text = DecodeXmlText(utf16.data(), utf16.size(), true, false, {SaysUtf16, Convert}, &decision);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(decision.encoding, XmlTextEncoding::Utf16);
    EXPECT_EQ(std::wstring(text), std::wstring(L"<\x831C" L"b"));
    free(text);

    const Bytes marked = {0xEF, 0xBB, 0xBF, '<', 'a', '/', '>'};
    free(DecodeXmlText(marked.data(), marked.size(), true, false, {SaysNot, Convert}, &decision));
    EXPECT_EQ(Converted, (Bytes{'<', 'a', '/', '>'}));
    EXPECT_TRUE(ConvertedAsUtf8);

    // With the UTF-16 guess off the platform's verdict is not asked for.
    const Bytes plain = {'<', 'a', '/', '>'};
    free(DecodeXmlText(plain.data(), plain.size(), false, false, {SaysUtf16, Convert}, &decision));
    EXPECT_EQ(decision.encoding, XmlTextEncoding::Ansi);
    EXPECT_FALSE(ConvertedAsUtf8);
    free(DecodeXmlText(plain.data(), plain.size(), true, true, {SaysNot, Convert}, &decision));
    EXPECT_TRUE(ConvertedAsUtf8);
}
