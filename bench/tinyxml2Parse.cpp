#include <tinyxml2.h>

#include "bench/parsers.h"

namespace {
void Count(const tinyxml2::XMLElement* element, ParseSummary* summary) {
    ++summary->elements;
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next()) ++summary->attributes;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        Count(child, summary);
}
}  // namespace

bool ParseWithTinyxml2(const char* utf8, size_t bytes, ParseSummary* summary, TreeProbe probe) {
    tinyxml2::XMLDocument document;  // defaults: entities decoded, whitespace preserved
    if (document.Parse(utf8, bytes) != tinyxml2::XML_SUCCESS) return false;
    const tinyxml2::XMLElement* root = document.FirstChildElement("KeyDeputy");
    if (!root) return false;
    if (summary) {
        *summary = {};
        Count(root, summary);
    }
    if (probe) probe();
    return true;
}
