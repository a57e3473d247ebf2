#include "lib/xmlElementRecord.h"

#include <cstdlib>
#include <cstring>

#include "lib/xmlMemory.h"

namespace {

// Makes room for one more entry; capacity grows by step entries at a time.
template <typename T>
bool ReserveOne(T*& array, int32_t& capacity, int32_t count, int32_t step) {
    if (count < capacity) return true;
    if (capacity > INT32_MAX - step) return false;
    int32_t grown = capacity + step;
    void* block = XmlRealloc(array, size_t(grown) * sizeof(T));
    if (!block) return false;
    array = static_cast<T*>(block);
    capacity = grown;
    return true;
}

template <typename T>
void ShrinkArray(T*& array, int32_t& capacity, int32_t count) {
    if (capacity == count) return;
    if (count == 0) {
        free(array);
        array = nullptr;
        capacity = 0;
        return;
    }
    // A failed shrink leaves the larger block in place, which is still valid.
    void* block = XmlRealloc(array, size_t(count) * sizeof(T));
    if (!block) return;
    array = static_cast<T*>(block);
    capacity = count;
}

int32_t OrderCount(const XmlElementRecord* e) { return e->childCount + e->textCount + e->clearCount; }

bool ReserveOrder(XmlElementRecord* e) { return ReserveOne(e->order, e->orderCapacity, OrderCount(e), XML_ORDER_STEP); }

void AppendOrder(XmlElementRecord* e, int32_t kind, int32_t index) { e->order[OrderCount(e)] = kind + 4 * index; }

void FreeRecordContent(XmlElementRecord* e) {
    for (int32_t i = 0; i < e->textCount; ++i) free(e->texts[i]);
    for (int32_t i = 0; i < e->clearCount; ++i) free(e->clearBlocks[i].value);
    for (int32_t i = 0; i < e->attributeCount; ++i) {
        free(e->attributes[i].name);
        free(e->attributes[i].value);
    }
    free(e->children);
    free(e->texts);
    free(e->clearBlocks);
    free(e->attributes);
    free(e->order);
    free(e->name);
    free(e);
}

}  // namespace

wchar_t* CopyXmlSpan(const wchar_t* start, size_t length) {
    if (length >= SIZE_MAX / sizeof(wchar_t)) return nullptr;
    auto* copy = static_cast<wchar_t*>(XmlAlloc((length + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    if (length) memcpy(copy, start, length * sizeof(wchar_t));
    copy[length] = 0;
    return copy;
}

XmlElementRecord* NewXmlElementRecord(const wchar_t* name, size_t nameLength, bool isDeclaration) {
    auto* e = static_cast<XmlElementRecord*>(XmlAlloc(sizeof(XmlElementRecord)));
    if (!e) return nullptr;
    memset(static_cast<void*>(e), 0, sizeof *e);
    if (name) {
        e->name = CopyXmlSpan(name, nameLength);
        if (!e->name) {
            free(e);
            return nullptr;
        }
    }
    e->isDeclaration = isDeclaration;
    e->referenceCount = 1;
    return e;
}

XmlElementRecord* AppendNewXmlChild(XmlElementRecord* parent, const wchar_t* name, size_t nameLength,
                                    bool isDeclaration) {
    if (!ReserveOne(parent->children, parent->childCapacity, parent->childCount, XML_ARRAY_STEP) ||
        !ReserveOrder(parent))
        return nullptr;
    XmlElementRecord* child = NewXmlElementRecord(name, nameLength, isDeclaration);
    if (!child) return nullptr;
    child->parent = parent;
    AppendOrder(parent, XML_ORDER_CHILD, parent->childCount);
    parent->children[parent->childCount++] = child;
    return child;
}

bool AppendXmlText(XmlElementRecord* e, wchar_t* text) {
    if (!ReserveOne(e->texts, e->textCapacity, e->textCount, XML_ARRAY_STEP) || !ReserveOrder(e)) {
        free(text);
        return false;
    }
    AppendOrder(e, XML_ORDER_TEXT, e->textCount);
    e->texts[e->textCount++] = text;
    return true;
}

bool AppendXmlClearBlock(XmlElementRecord* e, wchar_t* value, const wchar_t* openMarker,
                         const wchar_t* closeMarker) {
    if (!ReserveOne(e->clearBlocks, e->clearCapacity, e->clearCount, XML_ARRAY_STEP) || !ReserveOrder(e)) {
        free(value);
        return false;
    }
    AppendOrder(e, XML_ORDER_CLEAR, e->clearCount);
    e->clearBlocks[e->clearCount++] = {value, openMarker, closeMarker};
    return true;
}

bool AppendXmlAttribute(XmlElementRecord* e, const wchar_t* name, size_t nameLength, wchar_t* value) {
    wchar_t* nameCopy = nullptr;
    if (!ReserveOne(e->attributes, e->attributeCapacity, e->attributeCount, XML_ARRAY_STEP) ||
        !(nameCopy = CopyXmlSpan(name, nameLength))) {
        free(value);
        return false;
    }
    e->attributes[e->attributeCount++] = {nameCopy, value};
    return true;
}

void ShrinkXmlElement(XmlElementRecord* e) {
    ShrinkArray(e->children, e->childCapacity, e->childCount);
    ShrinkArray(e->texts, e->textCapacity, e->textCount);
    ShrinkArray(e->clearBlocks, e->clearCapacity, e->clearCount);
    ShrinkArray(e->attributes, e->attributeCapacity, e->attributeCount);
    ShrinkArray(e->order, e->orderCapacity, OrderCount(e));
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
        FreeRecordContent(e);
    }
}
