// pugixml compiled here, in this file only, in wchar_t mode: Debian's library is
// built for char. The source comes from Debian's package (fetchPugixmlSource.sh).
#define PUGIXML_WCHAR_MODE
#define PUGIXML_HEADER_ONLY
#include <pugixml.hpp>

#include "bench/parsers.h"

namespace {
// Keeps what our reader keeps: comments, declarations and the DOCTYPE, with text
// trimmed; entities and CDATA as by default.
constexpr unsigned PARSE_OPTIONS = pugi::parse_default | pugi::parse_comments | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_trim_pcdata;

void Count(const pugi::xml_node& node, ParseSummary* summary) {
    ++summary->elements;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) ++summary->attributes;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element) Count(child, summary);
}
}  // namespace

bool ParseWithPugixml(const wchar_t* text, size_t units, ParseSummary* summary, TreeProbe probe) {
    pugi::xml_document document;
    // Not in place: like our reader, it leaves the caller's text alone (it copies it).
    pugi::xml_parse_result result =
        document.load_buffer(text, units * sizeof(wchar_t), PARSE_OPTIONS, pugi::encoding_wchar);
    if (!result) return false;
    pugi::xml_node root = document.child(L"KeyDeputy");
    if (!root) return false;
    if (summary) {
        *summary = {};
        Count(root, summary);
    }
    if (probe) probe();
    return true;
}
