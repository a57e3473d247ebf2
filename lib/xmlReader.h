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

// What reading a configuration came to. The numbers and their texts (XmlErrorText)
// are what the load report shows; values the reader never produces keep their
// place so that every other code keeps its number and its text.
enum XmlError : int32_t {
    XML_OK = 0,
    // An end tag that names an open element other than the innermost (those between
    // are closed by it), or elements still open at the end of the text. A tree is
    // built, but the loader refuses it like an error.
    XML_WARNING_END_TAG_MISMATCH = 1,
    XML_NO_DATA = 2,             // the file is empty, or nothing could be read from it
    XML_FIRST_TAG_NOT_HEAD = 3,  // never produced
    XML_MISSING_TAG_NAME = 4,    // "<" followed by no name
    XML_MISSING_END_TAG_NAME = 5,  // "</" with no name, or a name not followed by ">"
    XML_QUOTE_MISMATCH = 6,      // never produced: a value missing its closing quote is read as it stands
    XML_END_TAG_MISMATCH = 7,    // an end tag that names no open element
    XML_CLEAR_TAG_MISMATCH = 8,  // a comment, CDATA section or other <!...> without its closing marker
    // In a start tag, something other than a name, "=" and value, or the tag's end:
    // a "<" inside a quoted value, or "=" in the element's name among them.
    XML_EXTRA_NODE = 9,
    XML_INVALID_TAG = 10,        // a start tag deeper than XML_MAX_DEPTH
    XML_NO_ELEMENT = 11,         // ParseXmlText given no text at all
    XML_FILE_NOT_FOUND = 12,     // the file cannot be opened, or its size cannot be read
    XML_ROOT_NOT_FOUND = 13,     // no element of the expected root's name, through declarations
    XML_UNKNOWN_CHARSET = 14,    // an "&" that starts no known or numeric character reference
    XML_CONVERSION_FAILED = 15,  // never produced: a failed conversion gives empty text
    XML_OPEN_FAILED = 16,        // never produced: the reader writes nothing
    XML_WRITE_FAILED = 17,       // never produced
    XML_BASE64_LENGTH = 18,      // never produced: the reader decodes no Base64
    XML_BASE64_CHARACTER = 19,   // never produced
    XML_BASE64_TRUNCATED = 20,   // never produced
    XML_BASE64_BUFFER = 21,      // never produced
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
// The root search of ParseXmlText: top itself when it has the expected name (letter
// case aside), else the first element of that name reached through declarations
// only; the empty handle when there is none. *writtenRoot (may be null) becomes
// the first element met that is neither a declaration nor the root: what was
// written in the root's place.
XmlElement FindXmlRoot(const XmlElement& top, const wchar_t* expectedRoot, XmlElement* writtenRoot);

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
// How LoadConfigXml reads 8-bit text that is neither marked nor recognisable as
// UTF-8: in the ANSI code page. UTF-16 is always guessed.
constexpr bool CONFIG_GUESS_UTF16 = true;
constexpr bool CONFIG_UTF8_INPUT = false;
