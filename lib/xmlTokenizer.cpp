#include "lib/xmlTokenizer.h"

const XmlClearTag XML_CLEAR_TAGS[XML_CLEAR_TAG_COUNT] = {
    {L"<![CDATA[", 9, L"]]>"},
    {L"<!DOCTYPE", 9, L">"},
    {L"<PRE>", 5, L"</PRE>"},
    {L"<Script>", 8, L"</Script>"},
    {L"<!--", 4, L"-->"},
};

const wchar_t XML_DOCTYPE_SUBSET_CLOSE[] = L"]>";

namespace {

// The NUL of the text never matches a marker character, so this stops there.
bool StartsWithMarker(const wchar_t* p, const XmlClearTag& tag) {
    for (int32_t i = 0; i < tag.openLength; ++i)
        if (FoldXmlAscii(p[i]) != FoldXmlAscii(tag.openMarker[i])) return false;
    return true;
}

size_t Emit(XmlToken* token, XmlTokenType type, const wchar_t* text, const wchar_t* start, size_t length) {
    token->type = type;
    token->start = start;
    token->length = length;
    return size_t(start - text) + length;
}

}  // namespace

size_t ReadXmlToken(const wchar_t* text, size_t position, XmlToken* token) {
    const wchar_t* p = text + position;
    while (IsXmlSpace(*p)) ++p;
    token->clearTag = nullptr;
    const wchar_t c = *p;
    switch (c) {
    case 0:
        return Emit(token, XmlTokenType::EndOfText, text, p, 0);
    case L'<':
        for (const XmlClearTag& tag : XML_CLEAR_TAGS) {
            if (StartsWithMarker(p, tag)) {
                token->clearTag = &tag;
                return Emit(token, XmlTokenType::ClearTagStart, text, p, size_t(tag.openLength));
            }
        }
        if (p[1] == L'/') return Emit(token, XmlTokenType::EndTagStart, text, p, 2);
        if (p[1] == L'?') return Emit(token, XmlTokenType::DeclarationStart, text, p, 2);
        return Emit(token, XmlTokenType::TagStart, text, p, 1);
    case L'>':
        return Emit(token, XmlTokenType::TagEnd, text, p, 1);
    case L'=':
        return Emit(token, XmlTokenType::Equals, text, p, 1);
    case L'/':
        if (p[1] == L'>') return Emit(token, XmlTokenType::ShortTagEnd, text, p, 2);
        break;
    default:
        break;
    }
    const wchar_t* q = p;
    if (c == L'"' || c == L'\'') {
        ++q;
        while (*q && *q != c && *q != L'<') ++q;
        if (*q == c) return Emit(token, XmlTokenType::QuotedText, text, p, size_t(q + 1 - p));
        // A quote that meets '<' or the end first is plain text starting at the quote.
        q = p + 1;
    }
    for (;; ++q) {
        const wchar_t d = *q;
        if (d == 0 || d == L'<' || d == L'>' || d == L'=' || (d == L'/' && q[1] == L'>')) break;
        if (IsXmlSpace(d)) {
            Emit(token, XmlTokenType::Text, text, p, size_t(q - p));
            return size_t(q + 1 - text);  // the blank is consumed, not part of the token
        }
    }
    return Emit(token, XmlTokenType::Text, text, p, size_t(q - p));
}
