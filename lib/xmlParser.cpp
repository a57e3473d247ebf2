#include <cwchar>

#include "lib/textCopy.h"
#include "lib/xmlElementRecord.h"
#include "lib/xmlEntities.h"
#include "lib/xmlReader.h"
#include "lib/growArray.h"
#include "lib/xmlTokenizer.h"

XmlReaderSettings ReaderSettings = {true, true, true};
const XmlParseObserver* ParseObserver = nullptr;

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
    XmlToken token;  // the token last read
};

// An element whose end has not been reached yet: its name, and where the parts
// it has collected so far begin on the stacks.
struct XmlOpenElement {
    const wchar_t* name;  // null: the top element
    size_t nameLength;
    bool isDeclaration;
    size_t childBase, textBase, clearBase, attributeBase, orderBase;
};

// The open elements, innermost last, and the parts they have collected. An
// element's record is built in one piece when it ends, so nothing is grown or
// shrunk element by element; nesting lives here, not on the call stack.
struct XmlParseState {
    XmlParseCursor cursor;
    GrowArray<XmlOpenElement> open;
    GrowArray<XmlElementRecord*> children;  // finished records, one reference each
    GrowArray<XmlTextSpan> texts;
    GrowArray<XmlClearSpan> clears;
    GrowArray<XmlAttrSpan> attributes;
    GrowArray<uint8_t> order;
};

void NextToken(XmlParseCursor* cursor) {
    cursor->position = ReadXmlToken(cursor->text, cursor->position, &cursor->token);
}

// In content only markup matters: every other token stops short of the next
// '<', and the text up to it is taken verbatim by the next flush.
void NextContentToken(XmlParseCursor* cursor) {
    const wchar_t* p = cursor->text + cursor->position;
    while (*p != L'<' && *p) ++p;  // mostly a few blanks between tags: no call is cheaper
    cursor->position = size_t(p - cursor->text);
    NextToken(cursor);
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

XmlOpenElement& Current(XmlParseState* state) { return state->open.top(); }

bool NamesElement(const XmlOpenElement& element, const wchar_t* name, size_t length) {
    if (!element.name || element.nameLength != length) return false;
    if (wmemcmp(element.name, name, length) == 0) return true;  // as written: the usual case
    for (size_t i = 0; i < length; ++i)
        if (FoldAscii(element.name[i]) != FoldAscii(name[i])) return false;
    return true;
}

// The text has ended inside the current element: a warning unless it is the
// top element or a declaration, which legitimately stay open to the end.
void EndOfTextReached(XmlParseState* state) {
    if (!Current(state).isDeclaration && state->open.count > 1) Warn(&state->cursor);
}

bool OutOfMemory(XmlParseState* state) { return Fail(&state->cursor, XML_OUT_OF_MEMORY); }

bool AddOrder(XmlParseState* state, int32_t kind) {
    return state->order.push(uint8_t(kind)) || OutOfMemory(state);
}

// A span whose references are checked now, so that building the record cannot fail on them.
bool CheckedSpan(XmlParseCursor* cursor, const wchar_t* start, size_t length, XmlTextSpan* span) {
    *span = {start, length, 0};
    return MeasureXmlEntities(start, length, &span->decodedLength) || Fail(cursor, XML_UNKNOWN_CHARSET);
}

// Stores the text pending since the last markup, up to end, trimmed and decoded.
bool FlushText(XmlParseState* state, const wchar_t* end) {
    XmlParseCursor* cursor = &state->cursor;
    const wchar_t* begin = cursor->pendingTextStart;
    if (!begin) return true;
    if (ReaderSettings.trimWhitespace) {
        while (begin < end && IsXmlSpace(*begin)) ++begin;
        while (end > begin && IsXmlSpace(end[-1])) --end;
    }
    cursor->pendingTextStart = nullptr;
    if (begin == end) return true;
    XmlTextSpan span;
    if (!CheckedSpan(cursor, begin, size_t(end - begin), &span)) return false;
    return (state->texts.push(span) || OutOfMemory(state)) && AddOrder(state, XML_ORDER_TEXT);
}

bool AddAttribute(XmlParseState* state, const wchar_t* name, size_t nameLength, const XmlTextSpan* value) {
    XmlAttrSpan attribute = {{name, nameLength, nameLength}, value ? *value : XmlTextSpan{}, value != nullptr};
    return state->attributes.push(attribute) || OutOfMemory(state);
}

// A declaration's last name or unquoted value carries the '?' of "?>".
size_t WithoutDeclarationMark(const XmlOpenElement& element, const wchar_t* start, size_t length) {
    return element.isDeclaration && length > 0 && start[length - 1] == L'?' ? length - 1 : length;
}

enum StartTagOutcome { START_TAG_FAILED, START_TAG_CLOSED, START_TAG_OPEN };

// Attribute mode: from after the current element's name to its '>' or "/>".
StartTagOutcome ParseStartTag(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    const XmlOpenElement& element = Current(state);
    const wchar_t* pendingName = nullptr;
    size_t pendingLength = 0;
    int mode = 0;  // 0: expecting a name or the end, 1: a name is pending, 2: after '='
    for (;;) {
        NextToken(cursor);
        const XmlToken& token = cursor->token;
        if (token.type == XmlTokenType::EndOfText) {
            EndOfTextReached(state);
            return START_TAG_FAILED;
        }
        if (mode == 0) {
            if (token.type == XmlTokenType::Text) {
                pendingName = token.start;
                pendingLength = token.length;
                mode = 1;
            } else if (token.type == XmlTokenType::TagEnd || token.type == XmlTokenType::ShortTagEnd) {
                cursor->pendingTextStart = CurrentPosition(cursor);
                return token.type == XmlTokenType::TagEnd ? START_TAG_OPEN : START_TAG_CLOSED;
            } else {
                Fail(cursor, XML_EXTRA_NODE);
                return START_TAG_FAILED;
            }
        } else if (mode == 1) {
            if (token.type == XmlTokenType::Text) {
                if (!AddAttribute(state, pendingName, pendingLength, nullptr)) return START_TAG_FAILED;
                pendingName = token.start;
                pendingLength = token.length;
            } else if (token.type == XmlTokenType::TagEnd || token.type == XmlTokenType::ShortTagEnd) {
                cursor->pendingTextStart = CurrentPosition(cursor);
                pendingLength = WithoutDeclarationMark(element, pendingName, pendingLength);
                if (pendingLength && !AddAttribute(state, pendingName, pendingLength, nullptr))
                    return START_TAG_FAILED;
                return token.type == XmlTokenType::TagEnd ? START_TAG_OPEN : START_TAG_CLOSED;
            } else if (token.type == XmlTokenType::Equals) {
                mode = 2;
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
            XmlTextSpan span;
            if (!CheckedSpan(cursor, value, valueLength, &span) ||
                !AddAttribute(state, pendingName, pendingLength, &span))
                return START_TAG_FAILED;
            mode = 0;
        }
    }
}

// At '<' or "<?" in content: flushes the text before it, reads the name and
// opens the new child as the current element.
bool OpenChild(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    bool isDeclaration = cursor->token.type == XmlTokenType::DeclarationStart;
    if (!FlushText(state, cursor->token.start)) return false;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::Text) return Fail(cursor, XML_MISSING_TAG_NAME);
    // Bounds the nesting, and with it the memory a hostile text can tie up in open elements.
    if (state->open.count - 1 >= size_t(XML_MAX_DEPTH)) return Fail(cursor, XML_INVALID_TAG);
    if (!AddOrder(state, XML_ORDER_CHILD)) return false;
    XmlOpenElement child = {cursor->token.start,     cursor->token.length,   isDeclaration,
                            state->children.count,   state->texts.count,     state->clears.count,
                            state->attributes.count, state->order.count};
    return state->open.push(child) || OutOfMemory(state);
}

// At "</" in content: reads the end tag, which closes the current element
// whether it names it or not; a mismatch is left pending for the enclosing elements.
bool ReadEndTag(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    if (!FlushText(state, cursor->token.start)) return false;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::Text) return Fail(cursor, XML_MISSING_END_TAG_NAME);
    const wchar_t* name = cursor->token.start;
    size_t length = cursor->token.length;
    NextToken(cursor);
    if (cursor->token.type != XmlTokenType::TagEnd) return Fail(cursor, XML_MISSING_END_TAG_NAME);
    cursor->pendingTextStart = CurrentPosition(cursor);
    if (!NamesElement(Current(state), name, length)) {
        Warn(cursor);
        cursor->pendingEndTag = name;
        cursor->pendingEndTagLength = length;
    }
    return true;
}

const wchar_t* FindExact(const wchar_t* from, const wchar_t* marker) {
    for (; (from = wcschr(from, marker[0])) != nullptr; ++from) {
        size_t i = 1;
        while (marker[i] && from[i] == marker[i]) ++i;
        if (!marker[i]) return from;
    }
    return nullptr;
}

// After an open marker: keeps the raw section up to its close marker.
bool ReadClearSection(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    if (!FlushText(state, cursor->token.start)) return false;
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
    size_t length = size_t(close - begin);
    XmlClearSpan section = {{begin, length, length}, tag->openMarker, closeMarker};
    if (!state->clears.push(section)) return OutOfMemory(state);
    if (!AddOrder(state, XML_ORDER_CLEAR)) return false;
    cursor->position = size_t(close - cursor->text) + TextLength(closeMarker);
    cursor->pendingTextStart = CurrentPosition(cursor);
    return true;
}

XmlElementParts PartsSince(const XmlParseState* state, const XmlOpenElement& e) {
    return {{e.name, e.nameLength, e.nameLength},
            e.isDeclaration,
            state->children.items + e.childBase,
            state->children.count - e.childBase,
            state->texts.items + e.textBase,
            state->texts.count - e.textBase,
            state->clears.items + e.clearBase,
            state->clears.count - e.clearBase,
            state->attributes.items + e.attributeBase,
            state->attributes.count - e.attributeBase,
            state->order.items + e.orderBase};
}

// The current element (not the top one) is complete: its record is built and
// handed to its parent, which becomes the current element again.
bool CloseElement(XmlParseState* state, XmlElementEnd end) {
    const XmlOpenElement element = Current(state);
    XmlElementRecord* record = BuildXmlElementRecord(PartsSince(state, element));
    if (!record) return OutOfMemory(state);
    if (ParseObserver)
        ParseObserver->elementDone(ParseObserver->context, record, size_t(element.name - state->cursor.text), end);
    state->children.cut(element.childBase);
    state->texts.cut(element.textBase);
    state->clears.cut(element.clearBase);
    state->attributes.cut(element.attributeBase);
    state->order.cut(element.orderBase);
    state->open.cut(state->open.count - 1);
    if (state->children.push(record)) return true;
    ReleaseXmlElementRecord(record);
    return OutOfMemory(state);
}

// After an end tag: closes the current element, then every enclosing element
// that a mismatched end tag closes too. False when the parse is over: the top
// element was closed, or an error stopped it.
bool CloseByEndTag(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    if (state->open.count == 1) return false;  // a stray end tag closes the top element
    for (;;) {
        if (!CloseElement(state, cursor->pendingEndTagLength ? XmlElementEnd::OtherEndTag : XmlElementEnd::OwnEndTag))
            return false;
        if (!cursor->pendingEndTagLength) return true;
        const XmlOpenElement& parent = Current(state);
        if (!parent.name) return Fail(cursor, XML_END_TAG_MISMATCH);
        if (NamesElement(parent, cursor->pendingEndTag, cursor->pendingEndTagLength)) {
            cursor->pendingEndTag = nullptr;
            cursor->pendingEndTagLength = 0;
        }
    }
}

// Reads the whole text into the open elements; the cursor's code tells how it ended.
void ParseElements(XmlParseState* state) {
    XmlParseCursor* cursor = &state->cursor;
    cursor->firstCall = false;  // the top element has no start tag: it starts in content
    for (;;) {
        NextContentToken(cursor);
        switch (cursor->token.type) {
        case XmlTokenType::TagStart:
        case XmlTokenType::DeclarationStart: {
            if (!OpenChild(state)) return;
            StartTagOutcome outcome = ParseStartTag(state);
            if (outcome == START_TAG_FAILED ||
                (outcome == START_TAG_CLOSED && !CloseElement(state, XmlElementEnd::ShortTag)))
                return;
            break;
        }
        case XmlTokenType::EndTagStart:
            if (!ReadEndTag(state) || !CloseByEndTag(state)) return;
            break;
        case XmlTokenType::ClearTagStart:
            if (!ReadClearSection(state)) return;
            break;
        case XmlTokenType::EndOfText:
            EndOfTextReached(state);
            return;
        default:
            break;
        }
    }
}

void ReleaseState(XmlParseState* state) {
    for (size_t i = 0; i < state->children.count; ++i) ReleaseXmlElementRecord(state->children.items[i]);
    state->children.cut(0);
    state->open.releaseMemory();
    state->children.releaseMemory();
    state->texts.releaseMemory();
    state->clears.releaseMemory();
    state->attributes.releaseMemory();
    state->order.releaseMemory();
}

// The tree of a parse that was not stopped by an error: elements still open
// are completed as they stand. A top element holding just one child and
// nothing else gives way to that child. Null when memory runs out.
XmlElementRecord* FinishTree(XmlParseState* state) {
    while (state->open.count > 1)
        if (!CloseElement(state, XmlElementEnd::EndOfText)) return nullptr;
    if (state->children.count == 1 && state->texts.count == 0 && state->clears.count == 0 &&
        state->attributes.count == 0) {
        state->children.cut(0);
        return state->children.items[0];
    }
    XmlElementRecord* top = BuildXmlElementRecord(PartsSince(state, state->open.items[0]));
    if (top) state->children.cut(0);
    return top;
}

}  // namespace

void XmlLineAndColumn(const wchar_t* text, size_t index, int32_t* lineOut, int32_t* columnOut) {
    int64_t line = 1, column = 1;
    for (size_t i = 0; i < index; ++i) {
        if (text[i] == L'\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    *lineOut = line > INT32_MAX ? INT32_MAX : int32_t(line);
    *columnOut = column > INT32_MAX ? INT32_MAX : int32_t(column);
}

namespace {

void Report(XmlParseResult* result, XmlError code, int32_t line, int32_t column) {
    if (!result) return;
    result->code = code;
    result->line = line;
    result->column = column;
}

}  // namespace

XmlElement FindXmlRoot(const XmlElement& top, const wchar_t* expectedRoot, XmlElement* writtenRoot) {
    if (writtenRoot) writtenRoot->release();
    if (TextEqualsIgnoreAsciiCase(top.name(), expectedRoot)) return top;
    if (writtenRoot && top.name() && !top.isDeclaration()) writtenRoot->assign(top);
    XmlElement scope = top;
    for (int32_t i = 0; i < scope.childCount();) {
        XmlElement child = scope.childAt(i);
        if (TextEqualsIgnoreAsciiCase(child.name(), expectedRoot)) return child;
        if (child.isDeclaration()) {
            scope.assign(child);
            i = 0;
        } else {
            if (writtenRoot && writtenRoot->isEmpty()) writtenRoot->assign(child);
            ++i;
        }
    }
    return XmlElement::emptyElement;
}

XmlElement ParseXmlText(const wchar_t* text, const wchar_t* expectedRoot, XmlParseResult* result) {
    if (!text) {
        Report(result, XML_NO_ELEMENT, 0, 0);
        return XmlElement::emptyElement;
    }
    XmlParseState state = {};
    XmlParseCursor& cursor = state.cursor;
    cursor.text = text;
    cursor.pendingTextStart = text;
    cursor.firstCall = true;

    XmlElement current;
    if (state.open.push({nullptr, 0, false, 0, 0, 0, 0, 0})) {
        ParseElements(&state);
        if (cursor.code <= XML_WARNING_END_TAG_MISMATCH) {
            XmlElementRecord* tree = FinishTree(&state);
            if (tree)
                current = XmlElement::adopt(tree);
            else
                cursor.code = XML_OUT_OF_MEMORY;
        }
    } else {
        cursor.code = XML_OUT_OF_MEMORY;
    }
    ReleaseState(&state);

    if (cursor.code > XML_WARNING_END_TAG_MISMATCH) {
        current.release();
    } else if (expectedRoot && *expectedRoot) {
        current.assign(FindXmlRoot(current, expectedRoot, nullptr));
        if (current.isEmpty()) {
            Report(result, XML_ROOT_NOT_FOUND, 0, 0);
            return current;
        }
    }

    if (result) {
        result->code = cursor.code;
        if (cursor.code != XML_OK)
            XmlLineAndColumn(text, cursor.code == XML_WARNING_END_TAG_MISMATCH ? cursor.warningPosition
                                                                                : cursor.position,
                             &result->line, &result->column);
    }
    return current;
}
