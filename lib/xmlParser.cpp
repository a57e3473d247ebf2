#include <cstdlib>

#include "app/textCopy.h"
#include "lib/xmlElementRecord.h"
#include "lib/xmlEntities.h"
#include "lib/xmlReader.h"
#include "lib/xmlTokenizer.h"

XmlReaderSettings ReaderSettings = {true, true, true};

namespace {

struct XmlParseCursor {
    const wchar_t* text;
    const wchar_t* pendingTextStart;  // null: no text pending
    size_t position;
    size_t warningPosition;
    XmlError code;
    const wchar_t* pendingEndTag;  // an end tag still to be offered to the enclosing elements
    size_t pendingEndTagLength;
    bool firstCall;
    // The token last read; kept here so that the recursive frame stays small.
    XmlToken token;
};

void NextToken(XmlParseCursor* cursor) {
    cursor->position = ReadXmlToken(cursor->text, cursor->position, &cursor->token);
}

bool Fail(XmlParseCursor* cursor, XmlError code) {
    cursor->code = code;
    return false;
}

void Warn(XmlParseCursor* cursor) {
    cursor->code = XML_WARNING_END_TAG_MISMATCH;
    cursor->warningPosition = cursor->position;
}

const wchar_t* CurrentPosition(const XmlParseCursor* cursor) { return cursor->text + cursor->position; }

bool NamesElement(const XmlElementRecord* element, const wchar_t* name, size_t length) {
    const wchar_t* own = element->name;
    if (!own) return false;
    for (size_t i = 0; i < length; ++i)
        if (!own[i] || FoldXmlAscii(own[i]) != FoldXmlAscii(name[i])) return false;
    return own[length] == 0;
}

// The text has ended inside element: a warning unless element is the top
// element or a declaration, which legitimately stay open to the end.
bool EndOfTextReached(const XmlElementRecord* element, XmlParseCursor* cursor) {
    if (!element->isDeclaration && element->parent) Warn(cursor);
    return false;
}

// Stores the text pending since the last markup, up to end, trimmed and decoded.
[[gnu::noinline]] bool FlushText(XmlElementRecord* element, XmlParseCursor* cursor, const wchar_t* end) {
    const wchar_t* begin = cursor->pendingTextStart;
    if (!begin) return true;
    if (ReaderSettings.trimWhitespace) {
        while (begin < end && IsXmlSpace(*begin)) ++begin;
        while (end > begin && IsXmlSpace(end[-1])) --end;
    }
    cursor->pendingTextStart = nullptr;
    if (begin == end) return true;
    wchar_t* decoded;
    XmlError code = DecodeXmlEntities(begin, size_t(end - begin), &decoded);
    if (code != XML_OK) return Fail(cursor, code);
    if (!AppendXmlText(element, decoded)) return Fail(cursor, XML_OUT_OF_MEMORY);
    return true;
}

// A declaration's last name or unquoted value carries the '?' of "?>".
size_t WithoutDeclarationMark(const XmlElementRecord* element, const wchar_t* start, size_t length) {
    return element->isDeclaration && length > 0 && start[length - 1] == L'?' ? length - 1 : length;
}

enum StartTagOutcome { START_TAG_FAILED, START_TAG_CLOSED, START_TAG_OPEN };

// Attribute mode: from after the element's name to its '>' or "/>".
[[gnu::noinline]] StartTagOutcome ParseStartTag(XmlElementRecord* element, XmlParseCursor* cursor) {
    const wchar_t* pendingName = nullptr;
    size_t pendingLength = 0;
    int state = 0;  // 0: expecting a name or the end, 1: a name is pending, 2: after '='
    for (;;) {
        NextToken(cursor);
        const XmlToken& token = cursor->token;
        if (token.type == XmlTokenType::EndOfText) {
            EndOfTextReached(element, cursor);
            return START_TAG_FAILED;
        }
        if (state == 0) {
            if (token.type == XmlTokenType::Text) {
                pendingName = token.start;
                pendingLength = token.length;
                state = 1;
            } else if (token.type == XmlTokenType::TagEnd) {
                cursor->pendingTextStart = CurrentPosition(cursor);
                return START_TAG_OPEN;
            } else if (token.type == XmlTokenType::ShortTagEnd) {
                cursor->pendingTextStart = CurrentPosition(cursor);
                ShrinkXmlElement(element);
                return START_TAG_CLOSED;
            } else {
                Fail(cursor, XML_EXTRA_NODE);
                return START_TAG_FAILED;
            }
        } else if (state == 1) {
            if (token.type == XmlTokenType::Text) {
                if (!AppendXmlAttribute(element, pendingName, pendingLength, nullptr)) {
                    Fail(cursor, XML_OUT_OF_MEMORY);
                    return START_TAG_FAILED;
                }
                pendingName = token.start;
                pendingLength = token.length;
            } else if (token.type == XmlTokenType::TagEnd || token.type == XmlTokenType::ShortTagEnd) {
                cursor->pendingTextStart = CurrentPosition(cursor);
                pendingLength = WithoutDeclarationMark(element, pendingName, pendingLength);
                if (pendingLength && !AppendXmlAttribute(element, pendingName, pendingLength, nullptr)) {
                    Fail(cursor, XML_OUT_OF_MEMORY);
                    return START_TAG_FAILED;
                }
                if (token.type == XmlTokenType::TagEnd) return START_TAG_OPEN;
                ShrinkXmlElement(element);
                return START_TAG_CLOSED;
            } else if (token.type == XmlTokenType::Equals) {
                state = 2;
            } else {
                Fail(cursor, XML_EXTRA_NODE);
                return START_TAG_FAILED;
            }
        } else {
            if (token.type != XmlTokenType::Text && token.type != XmlTokenType::QuotedText) {
                Fail(cursor, XML_EXTRA_NODE);
                return START_TAG_FAILED;
            }
            const wchar_t* value = token.start;
            size_t valueLength = WithoutDeclarationMark(element, value, token.length);
            if (token.type == XmlTokenType::QuotedText) {
                ++value;
                valueLength -= 2;
            }
            wchar_t* decoded;
            XmlError code = DecodeXmlEntities(value, valueLength, &decoded);
            if (code != XML_OK) {
                Fail(cursor, code);
                return START_TAG_FAILED;
            }
            if (!AppendXmlAttribute(element, pendingName, pendingLength, decoded)) {
                Fail(cursor, XML_OUT_OF_MEMORY);
                return START_TAG_FAILED;
            }
            state = 0;
        }
    }
}

// At '<' or "<?" in content: flushes the text before it, reads the name and
// appends the new child. Null when the parse must stop.
[[gnu::noinline]] XmlElementRecord* OpenChild(XmlElementRecord* element, XmlParseCursor* cursor, int32_t depth) {
    bool isDeclaration = cursor->token.type == XmlTokenType::DeclarationStart;
    if (!FlushText(element, cursor, cursor->token.start)) return nullptr;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::Text) {
        Fail(cursor, XML_MISSING_TAG_NAME);
        return nullptr;
    }
    // Bounds the recursion: the stack would otherwise be at the mercy of the text.
    if (depth >= XML_MAX_DEPTH) {
        Fail(cursor, XML_INVALID_TAG);
        return nullptr;
    }
    XmlElementRecord* child = AppendNewXmlChild(element, cursor->token.start, cursor->token.length, isDeclaration);
    if (!child) Fail(cursor, XML_OUT_OF_MEMORY);
    return child;
}

// At "</" in content: reads the end tag, which closes element whether it names
// it or not; a mismatch is left pending for the enclosing elements.
[[gnu::noinline]] bool CloseByEndTag(XmlElementRecord* element, XmlParseCursor* cursor) {
    if (!FlushText(element, cursor, cursor->token.start)) return false;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::Text) return Fail(cursor, XML_MISSING_END_TAG_NAME);
    const wchar_t* name = cursor->token.start;
    size_t length = cursor->token.length;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::TagEnd) return Fail(cursor, XML_MISSING_END_TAG_NAME);
    cursor->pendingTextStart = CurrentPosition(cursor);
    if (!NamesElement(element, name, length)) {
        Warn(cursor);
        cursor->pendingEndTag = name;
        cursor->pendingEndTagLength = length;
    }
    ShrinkXmlElement(element);
    return true;
}

const wchar_t* FindExact(const wchar_t* from, const wchar_t* marker) {
    for (; *from; ++from) {
        size_t i = 0;
        while (marker[i] && from[i] == marker[i]) ++i;
        if (!marker[i]) return from;
    }
    return nullptr;
}

// After an open marker: stores the raw section up to its close marker.
[[gnu::noinline]] bool ReadClearSection(XmlElementRecord* element, XmlParseCursor* cursor) {
    if (!FlushText(element, cursor, cursor->token.start)) return false;
    const XmlClearTag* tag = cursor->token.clearTag;
    const wchar_t* begin = CurrentPosition(cursor);
    const wchar_t* closeMarker = tag->closeMarker;
    if (tag == &XML_CLEAR_TAGS[XML_CLEAR_TAG_DOCTYPE]) {
        const wchar_t* q = begin;
        while (*q && *q != L'<' && *q != L'>') ++q;
        if (!*q) return Fail(cursor, XML_CLEAR_TAG_MISMATCH);
        // A '<' before the first '>' means an internal subset, which ends at "]>".
        if (*q == L'<') closeMarker = XML_DOCTYPE_SUBSET_CLOSE;
    }
    const wchar_t* close = FindExact(begin, closeMarker);
    if (!close) return Fail(cursor, XML_CLEAR_TAG_MISMATCH);
    wchar_t* value = CopyXmlSpan(begin, size_t(close - begin));
    if (!value || !AppendXmlClearBlock(element, value, tag->openMarker, closeMarker))
        return Fail(cursor, XML_OUT_OF_MEMORY);
    cursor->position = size_t(close - cursor->text) + TextLength(closeMarker);
    cursor->pendingTextStart = CurrentPosition(cursor);
    return true;
}

// Parses one element up to its end; true when it was closed, false when the
// text ended or an error stopped the parse (the cursor's code tells which).
// Recursive per nesting level: only the bare minimum lives in this frame.
bool ParseElement(XmlElementRecord* element, XmlParseCursor* cursor, int32_t depth) {
    if (cursor->firstCall) {
        cursor->firstCall = false;  // the top element has no start tag
    } else {
        StartTagOutcome outcome = ParseStartTag(element, cursor);
        if (outcome != START_TAG_OPEN) return outcome == START_TAG_CLOSED;
    }
    for (;;) {
        NextToken(cursor);
        switch (cursor->token.type) {
        case XmlTokenType::TagStart:
        case XmlTokenType::DeclarationStart: {
            XmlElementRecord* child = OpenChild(element, cursor, depth);
            if (!child || !ParseElement(child, cursor, depth + 1)) return false;
            if (cursor->pendingEndTagLength) {
                if (!element->name) return Fail(cursor, XML_END_TAG_MISMATCH);
                if (NamesElement(element, cursor->pendingEndTag, cursor->pendingEndTagLength)) {
                    cursor->pendingEndTag = nullptr;
                    cursor->pendingEndTagLength = 0;
                }
                ShrinkXmlElement(element);
                return true;
            }
            break;
        }
        case XmlTokenType::EndTagStart:
            return CloseByEndTag(element, cursor);
        case XmlTokenType::ClearTagStart:
            if (!ReadClearSection(element, cursor)) return false;
            break;
        case XmlTokenType::EndOfText:
            ShrinkXmlElement(element);
            return EndOfTextReached(element, cursor);
        default:
            break;  // part of the text, taken verbatim by the next flush
        }
    }
}

void ComputeLineAndColumn(const wchar_t* text, size_t index, XmlParseResult* result) {
    int64_t line = 1, column = 1;
    for (size_t i = 0; i < index; ++i) {
        if (text[i] == L'\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    result->line = line > INT32_MAX ? INT32_MAX : int32_t(line);
    result->column = column > INT32_MAX ? INT32_MAX : int32_t(column);
}

void Report(XmlParseResult* result, XmlError code, int32_t line, int32_t column) {
    if (!result) return;
    result->code = code;
    result->line = line;
    result->column = column;
}

// Descends from current to the element named expectedRoot, through
// declarations only; the empty handle when there is none.
XmlElement FindRoot(const XmlElement& current, const wchar_t* expectedRoot) {
    XmlElement scope = current;
    for (int32_t i = 0; i < scope.childCount();) {
        XmlElement child = scope.childAt(i);
        if (TextEqualsIgnoreAsciiCase(child.name(), expectedRoot)) return child;
        if (child.isDeclaration()) {
            scope.assign(child);
            i = 0;
        } else {
            ++i;
        }
    }
    return XmlElement::emptyElement;
}

}  // namespace

XmlElement ParseXmlText(const wchar_t* text, const wchar_t* expectedRoot, XmlParseResult* result) {
    if (!text) {
        Report(result, XML_NO_ELEMENT, 0, 0);
        return XmlElement::emptyElement;
    }
    XmlParseCursor cursor = {};
    cursor.text = text;
    cursor.pendingTextStart = text;
    cursor.firstCall = true;

    XmlElement current;
    if (XmlElementRecord* top = NewXmlElementRecord(nullptr, 0, false)) {
        ParseElement(top, &cursor, 0);
        current = XmlElement::adopt(top);
        if (top->childCount == 1 && top->textCount == 0 && top->clearCount == 0 && top->attributeCount == 0)
            current.assign(current.childAt(0));
    } else {
        cursor.code = XML_OUT_OF_MEMORY;
    }

    if (cursor.code > XML_WARNING_END_TAG_MISMATCH) {
        current.release();
    } else if (expectedRoot && *expectedRoot && !TextEqualsIgnoreAsciiCase(current.name(), expectedRoot)) {
        current.assign(FindRoot(current, expectedRoot));
        if (current.isEmpty()) {
            Report(result, XML_ROOT_NOT_FOUND, 0, 0);
            return current;
        }
    }

    if (result) {
        result->code = cursor.code;
        if (cursor.code != XML_OK)
            ComputeLineAndColumn(text, cursor.code == XML_WARNING_END_TAG_MISMATCH ? cursor.warningPosition
                                                                                    : cursor.position,
                                 result);
    }
    return current;
}
