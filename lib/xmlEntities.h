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

// Checks every reference in the length characters from start. True with the
// length they decode to; false for a bare '&' or a malformed reference.
bool MeasureXmlEntities(const wchar_t* start, size_t length, size_t* decodedLength);

// Writes the decoded characters of a span that MeasureXmlEntities accepted to
// out (no terminating NUL).
void WriteXmlEntities(const wchar_t* start, size_t length, wchar_t* out);
