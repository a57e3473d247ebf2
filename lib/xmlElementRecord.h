// The element record behind XmlElement, and how the parser builds one. Not for
// the rest of the program: it reaches elements only through XmlElement's queries.
#pragma once

#include <cstddef>
#include <cstdint>

struct XmlAttr {
    wchar_t* name;   // never null
    wchar_t* value;  // null when written without "=" and a value
};

struct XmlClearBlock {
    wchar_t* value;             // verbatim, never null
    const wchar_t* openMarker;  // constant marker strings, not owned
    const wchar_t* closeMarker;
};

// Kinds of the order list: entry = kind + 4 * index in that kind's array.
constexpr int32_t XML_ORDER_CHILD = 0;
constexpr int32_t XML_ORDER_TEXT = 2;
constexpr int32_t XML_ORDER_CLEAR = 3;

// A record, its arrays and all its strings live in one heap block, allocated
// once the element is complete, so every array has exactly its used length and
// an array with no entries is null.
struct XmlElementRecord {
    wchar_t* name;  // null only for the nameless top element
    int32_t childCount;
    int32_t textCount;
    int32_t clearCount;
    int32_t attributeCount;
    bool isDeclaration;
    XmlElementRecord* parent;  // not counted
    // Each entry holds one reference, exactly as an XmlElement would.
    XmlElementRecord** children;
    wchar_t** texts;
    XmlClearBlock* clearBlocks;
    XmlAttr* attributes;
    int32_t* order;
    int32_t referenceCount;
};

// A span of the source text that becomes one string of the record: copied, or
// entity-decoded when decodedLength differs from length (the span then holds
// references that have already been checked).
struct XmlTextSpan {
    const wchar_t* start;
    size_t length;
    size_t decodedLength;
};

struct XmlClearSpan {
    XmlTextSpan value;  // verbatim: decodedLength equals length
    const wchar_t* openMarker;
    const wchar_t* closeMarker;
};

struct XmlAttrSpan {
    XmlTextSpan name;  // as written: decodedLength equals length
    XmlTextSpan value;
    bool hasValue;
};

// Everything the parser collected for one element.
struct XmlElementParts {
    XmlTextSpan name;  // start null: the nameless top element
    bool isDeclaration;
    XmlElementRecord* const* children;  // each holding one reference, handed over
    size_t childCount;
    const XmlTextSpan* texts;
    size_t textCount;
    const XmlClearSpan* clears;
    size_t clearCount;
    const XmlAttrSpan* attributes;
    size_t attributeCount;
    const uint8_t* orderKinds;  // one XML_ORDER_* per child, text and clear block, in document order
};

// The complete record, holding one reference for the caller; the children's
// parent is set to it. Null when memory runs out or a count does not fit; the
// children are then left as they were.
XmlElementRecord* BuildXmlElementRecord(const XmlElementParts& parts);

// Frees a record whose count has reached zero, releasing its children; those no
// other handle holds go too. Iterative, so any depth is safe.
void DestroyXmlElementRecord(XmlElementRecord* record);

// Drops one reference the caller holds.
void ReleaseXmlElementRecord(XmlElementRecord* record);
