#include "app/messages.h"
#include "bench/parsers.h"
#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"

namespace {
void Count(const XmlElement& element, ParseSummary* summary) {
    ++summary->elements;
    summary->attributes += size_t(element.raw()->attributeCount);
    for (int32_t i = 0, n = element.childCount(); i < n; ++i) Count(element.childAt(i), summary);
}
}  // namespace

bool ParseWithKeyDeputy(const wchar_t* text, ParseSummary* summary, TreeProbe probe) {
    XmlParseResult result = {XML_OK, 0, 0};
    XmlElement root = ParseXmlText(text, KD_ROOT, &result);
    if (result.code != XML_OK || root.isEmpty()) return false;
    if (summary) {
        *summary = {};
        Count(root, summary);
    }
    if (probe) probe();
    return true;  // the handle frees the tree here
}

size_t CountTagOpeners(const wchar_t* text, size_t units) {
    size_t count = 0;
    for (size_t i = 0; i < units; ++i) count += text[i] == L'<';
    return count;
}
