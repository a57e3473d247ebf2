#include "lib/xmlTokenizer.h"

const XmlClearTag XML_CLEAR_TAGS[XML_CLEAR_TAG_COUNT] = {
    {L"<![CDATA[", 9, L"]]>"},
    {L"<!DOCTYPE", 9, L">"},
    {L"<PRE>", 5, L"</PRE>"},
    {L"<Script>", 8, L"</Script>"},
    {L"<!--", 4, L"-->"},
};

const wchar_t XML_DOCTYPE_SUBSET_CLOSE[] = L"]>";

const XmlClearTag* MatchXmlClearTag(const wchar_t* p) {
    for (const XmlClearTag& tag : XML_CLEAR_TAGS) {
        // The NUL of the text never matches a marker character, so this stops there.
        int32_t i = 0;
        while (i < tag.openLength && FoldAscii(p[i]) == FoldAscii(tag.openMarker[i])) ++i;
        if (i == tag.openLength) return &tag;
    }
    return nullptr;
}
