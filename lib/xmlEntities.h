// Decoding of the five named entities and of numeric character references.
#pragma once

#include <cstddef>

#include "lib/xmlReader.h"

struct XmlEntity {
    const wchar_t* reference;  // including '&' and ';'
    size_t length;
    wchar_t character;
};

constexpr int XML_ENTITY_COUNT = 5;
extern const XmlEntity XML_ENTITIES[XML_ENTITY_COUNT];

// Decodes length characters from start into a new NUL-terminated string
// (*decoded, free() it). Returns XML_OK, XML_UNKNOWN_CHARSET for a bare '&' or
// a malformed reference, or XML_OUT_OF_MEMORY; *decoded is null on failure.
XmlError DecodeXmlEntities(const wchar_t* start, size_t length, wchar_t** decoded);
