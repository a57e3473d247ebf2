#include "lib/xmlElementRecord.h"

#include <cstdlib>
#include <cstring>

#include "lib/xmlEntities.h"
#include "lib/xmlMemory.h"

namespace {

// Adds count items of size bytes to total; false when it no longer fits.
// (No division: this runs several times for every element.)
bool AddBytes(size_t& total, size_t count, size_t size) {
    size_t bytes;
    return !__builtin_mul_overflow(count, size, &bytes) && !__builtin_add_overflow(total, bytes, &total);
}

bool AddString(size_t& total, const XmlTextSpan& span) {
    size_t units;
    return !__builtin_add_overflow(span.decodedLength, size_t(1), &units) && AddBytes(total, units, sizeof(wchar_t));
}

bool FitsCount(size_t count) { return count <= size_t(INT32_MAX); }

// Copies or decodes the span at cursor as a NUL-terminated string.
wchar_t* PlaceString(wchar_t*& cursor, const XmlTextSpan& span) {
    wchar_t* placed = cursor;
    if (span.decodedLength == span.length) {
        // Names and values are short: a loop beats a call for them.
        if (span.length <= 16) {
            for (size_t i = 0; i < span.length; ++i) placed[i] = span.start[i];
        } else {
            memcpy(placed, span.start, span.length * sizeof(wchar_t));
        }
    } else {
        WriteXmlEntities(span.start, span.length, placed);
    }
    placed[span.decodedLength] = 0;
    cursor += span.decodedLength + 1;
    return placed;
}

template <typename T>
T* PlaceArray(char*& cursor, size_t count) {
    if (!count) return nullptr;
    T* placed = reinterpret_cast<T*>(cursor);
    cursor += count * sizeof(T);
    return placed;
}

}  // namespace

XmlElementRecord* BuildXmlElementRecord(const XmlElementParts& p) {
    size_t orderCount = p.childCount + p.textCount + p.clearCount;
    // Each count is below INT32_MAX, so their sum cannot wrap a size_t.
    if (!FitsCount(p.childCount) || !FitsCount(p.textCount) || !FitsCount(p.clearCount) ||
        !FitsCount(p.attributeCount) || !FitsCount(orderCount))
        return nullptr;

    // Pointer-aligned parts first, then the order list, then the characters.
    static_assert(alignof(XmlElementRecord) >= alignof(int32_t) && alignof(int32_t) >= alignof(wchar_t),
                  "each part of the block must be aligned for the next");
    size_t bytes = sizeof(XmlElementRecord);
    bool fits = AddBytes(bytes, p.childCount, sizeof(XmlElementRecord*)) &&
                AddBytes(bytes, p.textCount, sizeof(wchar_t*)) &&
                AddBytes(bytes, p.clearCount, sizeof(XmlClearBlock)) &&
                AddBytes(bytes, p.attributeCount, sizeof(XmlAttr)) && AddBytes(bytes, orderCount, sizeof(int32_t));
    if (fits && p.name.start) fits = AddString(bytes, p.name);
    for (size_t i = 0; fits && i < p.textCount; ++i) fits = AddString(bytes, p.texts[i]);
    for (size_t i = 0; fits && i < p.clearCount; ++i) fits = AddString(bytes, p.clears[i].value);
    for (size_t i = 0; fits && i < p.attributeCount; ++i)
        fits = AddString(bytes, p.attributes[i].name) &&
               (!p.attributes[i].hasValue || AddString(bytes, p.attributes[i].value));
    if (!fits) return nullptr;

    char* block = static_cast<char*>(XmlAlloc(bytes));
    if (!block) return nullptr;
    auto* e = reinterpret_cast<XmlElementRecord*>(block);
    char* cursor = block + sizeof(XmlElementRecord);
    e->childCount = int32_t(p.childCount);
    e->textCount = int32_t(p.textCount);
    e->clearCount = int32_t(p.clearCount);
    e->attributeCount = int32_t(p.attributeCount);
    e->isDeclaration = p.isDeclaration;
    e->parent = nullptr;
    e->referenceCount = 1;
    e->children = PlaceArray<XmlElementRecord*>(cursor, p.childCount);
    e->texts = PlaceArray<wchar_t*>(cursor, p.textCount);
    e->clearBlocks = PlaceArray<XmlClearBlock>(cursor, p.clearCount);
    e->attributes = PlaceArray<XmlAttr>(cursor, p.attributeCount);
    e->order = PlaceArray<int32_t>(cursor, orderCount);

    auto* characters = reinterpret_cast<wchar_t*>(cursor);
    e->name = p.name.start ? PlaceString(characters, p.name) : nullptr;
    for (size_t i = 0; i < p.childCount; ++i) {
        e->children[i] = p.children[i];
        p.children[i]->parent = e;
    }
    for (size_t i = 0; i < p.textCount; ++i) e->texts[i] = PlaceString(characters, p.texts[i]);
    for (size_t i = 0; i < p.clearCount; ++i)
        e->clearBlocks[i] = {PlaceString(characters, p.clears[i].value), p.clears[i].openMarker,
                             p.clears[i].closeMarker};
    for (size_t i = 0; i < p.attributeCount; ++i) {
        const XmlAttrSpan& a = p.attributes[i];
        wchar_t* name = PlaceString(characters, a.name);
        e->attributes[i] = {name, a.hasValue ? PlaceString(characters, a.value) : nullptr};
    }
    int32_t next[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < orderCount; ++i) {
        int32_t kind = p.orderKinds[i];
        e->order[i] = kind + 4 * next[kind]++;
    }
    return e;
}

void DestroyXmlElementRecord(XmlElementRecord* record) {
    // Records waiting to be freed are chained through their parent field: a
    // record whose count reached zero has no parent holding it any more.
    record->parent = nullptr;
    XmlElementRecord* pending = record;
    while (pending) {
        XmlElementRecord* e = pending;
        pending = e->parent;
        for (int32_t i = 0; i < e->childCount; ++i) {
            XmlElementRecord* child = e->children[i];
            child->parent = nullptr;
            if (--child->referenceCount == 0) {
                child->parent = pending;
                pending = child;
            }
        }
        free(e);
    }
}

void ReleaseXmlElementRecord(XmlElementRecord* record) {
    if (--record->referenceCount == 0) DestroyXmlElementRecord(record);
}
