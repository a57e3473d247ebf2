// Splits the XML text into the tokens the parser works with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/textCopy.h"

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


// The clear-tag row whose open marker starts at p (in any letter case), or null.
const XmlClearTag* MatchXmlClearTag(const wchar_t* p);

// The characters that may end a Text token: the NUL, '<', '>', '=', '/' and the
// blanks. One table lookup per character keeps names and values cheap to scan.
inline constexpr uint8_t XML_TEXT_END[128] = {
    1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0,  // NUL, tab, LF, CR
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,  // blank, '/'
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0,  // '<', '=', '>'
};

inline bool EndsXmlText(wchar_t c) { return uint32_t(c) < 128 && XML_TEXT_END[uint32_t(c)]; }

inline size_t EmitXmlToken(XmlToken* token, XmlTokenType type, const wchar_t* text, const wchar_t* start,
                           size_t length) {
    token->type = type;
    token->start = start;
    token->length = length;
    return size_t(start - text) + length;
}

// Reads the token at position of the NUL-terminated text into token and
// returns the position after it. At the NUL the position stays put. Inline:
// the parser calls it for every token.
[[gnu::always_inline]] inline size_t ReadXmlToken(const wchar_t* text, size_t position, XmlToken* token) {
    const wchar_t* p = text + position;
    while (IsXmlSpace(*p)) ++p;
    token->clearTag = nullptr;
    const wchar_t c = *p;
    switch (c) {
    case 0:
        return EmitXmlToken(token, XmlTokenType::EndOfText, text, p, 0);
    case L'<': {
        // Every open marker goes on with '!', 'P' or 'S': other tags skip the table.
        const wchar_t second = FoldAscii(p[1]);
        if (second == L'!' || second == L'p' || second == L's') {
            if (const XmlClearTag* tag = MatchXmlClearTag(p)) {
                token->clearTag = tag;
                return EmitXmlToken(token, XmlTokenType::ClearTagStart, text, p, size_t(tag->openLength));
            }
        }
        if (p[1] == L'/') return EmitXmlToken(token, XmlTokenType::EndTagStart, text, p, 2);
        if (p[1] == L'?') return EmitXmlToken(token, XmlTokenType::DeclarationStart, text, p, 2);
        return EmitXmlToken(token, XmlTokenType::TagStart, text, p, 1);
    }
    case L'>':
        return EmitXmlToken(token, XmlTokenType::TagEnd, text, p, 1);
    case L'=':
        return EmitXmlToken(token, XmlTokenType::Equals, text, p, 1);
    case L'/':
        if (p[1] == L'>') return EmitXmlToken(token, XmlTokenType::ShortTagEnd, text, p, 2);
        break;
    default:
        break;
    }
    const wchar_t* q = p;
    if (c == L'"' || c == L'\'') {
        ++q;
        while (*q && *q != c && *q != L'<') ++q;
        if (*q == c) return EmitXmlToken(token, XmlTokenType::QuotedText, text, p, size_t(q + 1 - p));
        // A quote that meets '<' or the end first is plain text starting at the quote.
        q = p + 1;
    }
    for (;; ++q) {
        while (!EndsXmlText(*q)) ++q;
        const wchar_t d = *q;
        if (d == L'/' && q[1] != L'>') continue;  // a '/' ends text only as part of "/>"
        if (IsXmlSpace(d)) {
            EmitXmlToken(token, XmlTokenType::Text, text, p, size_t(q - p));
            return size_t(q + 1 - text);  // the blank is consumed, not part of the token
        }
        return EmitXmlToken(token, XmlTokenType::Text, text, p, size_t(q - p));
    }
}
