// The configuration's XML reader: element tree, parser and file loader.
// Text is wchar_t holding UTF-16 code units on every platform.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/xmlLoadReport.h"

struct XmlElementRecord;

// Reference-counted handle to one element of a parsed tree, or nothing.
// Every query on the empty handle answers null, zero or the empty handle.
class XmlElement {
public:
    // constexpr so that emptyElement is set before any dynamic initialisation runs.
    constexpr XmlElement() : record(nullptr) {}
    XmlElement(const XmlElement& other);
    ~XmlElement() { release(); }
    XmlElement& operator=(const XmlElement& other) { assign(other); return *this; }

    void assign(const XmlElement& other);
    void release();

    const wchar_t* name() const;
    int32_t childCount() const;
    XmlElement childAt(int32_t index) const;
    XmlElement childByName(const wchar_t* childName, int32_t* position) const;
    const wchar_t* attributeValue(const wchar_t* attrName, int32_t* position) const;
    const wchar_t* text(int32_t index) const;
    bool isDeclaration() const;
    bool isEmpty() const { return record == nullptr; }

    static XmlElement emptyElement;

    // Takes over one reference the caller already holds (used by the parser).
    static XmlElement adopt(XmlElementRecord* owned);
    XmlElementRecord* raw() const { return record; }

private:
    XmlElementRecord* record;
};

enum XmlError : int32_t {
    XML_OK = 0,
    XML_WARNING_END_TAG_MISMATCH = 1,
    XML_NO_DATA = 2,
    XML_FIRST_TAG_NOT_HEAD = 3,
    XML_MISSING_TAG_NAME = 4,
    XML_MISSING_END_TAG_NAME = 5,
    XML_QUOTE_MISMATCH = 6,
    XML_END_TAG_MISMATCH = 7,
    XML_CLEAR_TAG_MISMATCH = 8,
    XML_EXTRA_NODE = 9,
    XML_INVALID_TAG = 10,
    XML_NO_ELEMENT = 11,
    XML_FILE_NOT_FOUND = 12,
    XML_ROOT_NOT_FOUND = 13,
    XML_UNKNOWN_CHARSET = 14,
    XML_CONVERSION_FAILED = 15,
    XML_OPEN_FAILED = 16,
    XML_WRITE_FAILED = 17,
    XML_BASE64_LENGTH = 18,
    XML_BASE64_CHARACTER = 19,
    XML_BASE64_TRUNCATED = 20,
    XML_BASE64_BUFFER = 21,
    // No message of its own ("未知错误"): memory ran out while reading.
    XML_OUT_OF_MEMORY = 22,
};

struct XmlReaderSettings {
    bool utf8Input;
    bool trimWhitespace;
    bool guessUtf16;
};
extern XmlReaderSettings ReaderSettings;

struct XmlParseResult {
    XmlError code;
    int32_t line;
    int32_t column;
};

// Deepest element the parser opens below the top element; deeper start tags stop
// the parse with XML_INVALID_TAG, which bounds what a text can make it hold open.
constexpr int32_t XML_MAX_DEPTH = 1000;

XmlElement ParseXmlText(const wchar_t* text, const wchar_t* expectedRoot, XmlParseResult* result);

// How an element's end was reached: its own end tag or "/>", the end tag of an
// enclosing element (its own is missing or names something else), or the end of the text.
enum class XmlElementEnd { OwnEndTag, ShortTag, OtherEndTag, EndOfText };
// Told where each element stood in the text, for tools that explain a document;
// nameOffset counts UTF-16 units from the start of the text. Null in the program.
struct XmlParseObserver {
    void* context;
    void (*elementDone)(void* context, const XmlElementRecord* record, size_t nameOffset, XmlElementEnd end);
};
extern const XmlParseObserver* ParseObserver;
const wchar_t* XmlErrorText(int32_t code);
// Line and column of the unit at index, as the parse result counts them: from 1,
// a line feed starts a new line, every other unit is one column.
void XmlLineAndColumn(const wchar_t* text, size_t index, int32_t* line, int32_t* column);

// Platform side (file access and conversion).
XmlElement ParseXmlFile(const wchar_t* path, const wchar_t* expectedRoot, XmlParseResult* result);

// What loading a configuration file came to: the parse result and, when it is not
// XML_OK, the load report to show the user.
struct XmlLoadOutcome {
    XmlParseResult result;
    wchar_t report[XML_LOAD_REPORT_SIZE];
};
// Reads a configuration file as the program does. The tree, or on any error (a
// warning included) the empty element with outcome holding code, position and report.
// Decides nothing about the program: the caller tells the user and goes on or ends.
XmlElement LoadConfigXml(const wchar_t* path, const wchar_t* expectedRoot, XmlLoadOutcome* outcome);
