// Splits the XML text into the tokens the parser works with.
#pragma once

#include <cstddef>
#include <cstdint>

enum class XmlTokenType : int32_t {
    Text = 0,
    QuotedText = 1,        // includes both quotes
    TagStart = 2,          // '<'
    EndTagStart = 3,       // "</"
    TagEnd = 4,            // '>'
    Equals = 5,            // '='
    DeclarationStart = 6,  // "<?"
    ShortTagEnd = 7,       // "/>"
    ClearTagStart = 8,     // an open marker of XML_CLEAR_TAGS
    EndOfText = 9,
};

// A raw section kept verbatim: CDATA, DOCTYPE, PRE, Script and comments.
struct XmlClearTag {
    const wchar_t* openMarker;  // recognised in any letter case
    int32_t openLength;
    const wchar_t* closeMarker;  // must be written exactly
};

constexpr int32_t XML_CLEAR_TAG_COUNT = 5;
constexpr int32_t XML_CLEAR_TAG_DOCTYPE = 1;  // row whose end depends on an internal subset
extern const XmlClearTag XML_CLEAR_TAGS[XML_CLEAR_TAG_COUNT];
// Close marker of a DOCTYPE section with an internal subset.
extern const wchar_t XML_DOCTYPE_SUBSET_CLOSE[];

struct XmlToken {
    XmlTokenType type;
    const wchar_t* start;
    size_t length;
    const XmlClearTag* clearTag;  // set for ClearTagStart only
};

inline bool IsXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

inline wchar_t FoldXmlAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c + (L'a' - L'A')) : c; }

// Reads the token at position of the NUL-terminated text into token and
// returns the position after it. At the NUL the position stays put.
size_t ReadXmlToken(const wchar_t* text, size_t position, XmlToken* token);
