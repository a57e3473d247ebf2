#include "check/checkContext.h"

#include <algorithm>
#include <cstdlib>

#include "lib/xmlTokenizer.h"

void ObserveElement(void* context, const XmlElementRecord* record, size_t nameOffset, XmlElementEnd end) {
    Places* places = static_cast<Places*>(context);
    if (!places->push({record, nameOffset, end})) places->failed = true;
}

CheckPosition At(const CheckContext& c, size_t offset) {
    CheckPosition position = {0, 0};
    if (ReportFull(c)) return position;
    if (c.text && offset != NO_OFFSET) LineAndColumnAt(c.lines, c.text, offset, &position.line, &position.column);
    return position;
}

size_t OffsetOf(const wchar_t* text, int32_t line, int32_t column) {
    size_t offset = 0;
    for (int32_t l = 1; l < line && text[offset]; ++offset)
        if (text[offset] == L'\n') ++l;
    for (int32_t k = 1; k < column && text[offset]; ++k) ++offset;
    return offset;
}

void Add(CheckContext& c, Severity severity, const char* code, CheckPosition position,
         std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help) {
    AddFinding(c.report, severity, code, position, message, help);
}

// The name written at offset, up to what ends a name, cut to fit.
void NameAt(const wchar_t* text, size_t offset, wchar_t* out) {
    size_t n = 0;
    while (n + 1 < NAME_SIZE && text[offset + n] && !EndsXmlText(text[offset + n])) {
        out[n] = text[offset + n];
        ++n;
    }
    out[n] = 0;
}

namespace {
bool Before(const XmlElementRecord* a, const XmlElementRecord* b) {
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
}

}  // namespace

void SortPlaces(CheckContext& c) {
    free(c.byRecord);
    c.byRecord = static_cast<ElementPlace*>(malloc((c.places.count + 1) * sizeof(ElementPlace)));
    if (!c.byRecord) return;
    for (size_t i = 0; i < c.places.count; ++i) c.byRecord[i] = c.places.items[i];
    // In place: qsort's merge sort would allocate a second copy of a large table.
    std::sort(c.byRecord, c.byRecord + c.places.count,
              [](const ElementPlace& a, const ElementPlace& b) { return Before(a.record, b.record); });
}

const ElementPlace* PlaceOf(const CheckContext& c, const XmlElement& element) {
    const XmlElementRecord* record = element.raw();
    if (!record) return nullptr;
    if (c.byRecord) {
        // A menu of thousands of items asks for thousands of places.
        size_t low = 0, high = c.places.count;
        while (low < high) {
            size_t middle = low + (high - low) / 2;
            if (Before(c.byRecord[middle].record, record))
                low = middle + 1;
            else
                high = middle;
        }
        return low < c.places.count && c.byRecord[low].record == record ? &c.byRecord[low] : nullptr;
    }
    for (size_t i = c.places.count; i-- > 0;)
        if (c.places.items[i].record == record) return &c.places.items[i];
    return nullptr;
}

// Offset of the '<' of an element's start tag.
size_t TagOffset(const CheckContext& c, const XmlElement& element) {
    const ElementPlace* place = PlaceOf(c, element);
    return place && place->nameOffset > 0 ? place->nameOffset - 1 : NO_OFFSET;
}

void ReadStartTag(const CheckContext& c, const XmlElement& element, StartTag* tag) {
    tag->count = 0;
    tag->contentOffset = NO_OFFSET;
    const ElementPlace* place = PlaceOf(c, element);
    if (!place) return;
    XmlToken token;
    size_t position = ReadXmlToken(c.text, place->nameOffset, &token);  // the element's name
    for (;;) {
        position = ReadXmlToken(c.text, position, &token);
        if (token.type == XmlTokenType::Text && tag->count < MAX_ATTRIBUTES) {
            tag->nameOffsets[tag->count] = size_t(token.start - c.text);
            tag->nameLengths[tag->count] = token.length;
            tag->hasValue[tag->count] = false;
            ++tag->count;
        } else if (token.type == XmlTokenType::Equals) {
            if (tag->count > 0) tag->hasValue[tag->count - 1] = true;
            position = ReadXmlToken(c.text, position, &token);  // the value
        } else if (token.type == XmlTokenType::TagEnd) {
            size_t p = position;
            while (IsXmlSpace(c.text[p])) ++p;
            tag->contentOffset = p;
            return;
        } else {
            return;
        }
    }
}

size_t AttributeOffset(const CheckContext& c, const XmlElement& element, const wchar_t* name) {
    StartTag tag;
    ReadStartTag(c, element, &tag);
    wchar_t written[NAME_SIZE];
    for (int32_t i = 0; i < tag.count; ++i) {
        NameAt(c.text, tag.nameOffsets[i], written);
        if (TextEqualsIgnoreAsciiCase(written, name)) return tag.nameOffsets[i];
    }
    return TagOffset(c, element);
}

size_t ContentOffset(const CheckContext& c, const XmlElement& element) {
    StartTag tag;
    ReadStartTag(c, element, &tag);
    return tag.contentOffset != NO_OFFSET ? tag.contentOffset : TagOffset(c, element);
}
