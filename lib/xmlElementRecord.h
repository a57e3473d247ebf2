// The element record behind XmlElement, and the operations the parser uses to
// build it. Not for the rest of the program: it reaches elements only through
// XmlElement's queries.
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

constexpr int32_t XML_ARRAY_STEP = 50;
constexpr int32_t XML_ORDER_STEP = 150;

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

    int32_t childCapacity;
    int32_t textCapacity;
    int32_t clearCapacity;
    int32_t attributeCapacity;
    int32_t orderCapacity;
};

// A new record holding one reference for the caller; name may be null (top
// element). Null when memory runs out.
XmlElementRecord* NewXmlElementRecord(const wchar_t* name, size_t nameLength, bool isDeclaration);

// A new child appended to parent, whose children array holds its only
// reference. Null when memory runs out (nothing is appended then).
XmlElementRecord* AppendNewXmlChild(XmlElementRecord* parent, const wchar_t* name, size_t nameLength,
                                    bool isDeclaration);

// These take ownership of the owned strings passed, also on failure (false:
// memory ran out, the string is freed).
bool AppendXmlText(XmlElementRecord* element, wchar_t* text);
bool AppendXmlClearBlock(XmlElementRecord* element, wchar_t* value, const wchar_t* openMarker,
                         const wchar_t* closeMarker);
bool AppendXmlAttribute(XmlElementRecord* element, const wchar_t* name, size_t nameLength, wchar_t* value);

// Cuts every array to its used length once the element is complete.
void ShrinkXmlElement(XmlElementRecord* element);

// Frees a record whose count has reached zero, releasing its children; those no
// other handle holds go too. Iterative, so any depth is safe.
void DestroyXmlElementRecord(XmlElementRecord* record);

// A NUL-terminated copy of length characters, or null when memory runs out.
wchar_t* CopyXmlSpan(const wchar_t* start, size_t length);
