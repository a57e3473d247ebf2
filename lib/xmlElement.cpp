#include "lib/textCopy.h"
#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"

XmlElement XmlElement::emptyElement;

XmlElement::XmlElement(const XmlElement& other) : record(other.record) {
    if (record) ++record->referenceCount;
}

void XmlElement::assign(const XmlElement& other) {
    if (this == &other) return;
    // Releasing first lets a handle move from an element to one of its own
    // children: the child stays alive through other while the parent goes.
    XmlElementRecord* taken = other.record;
    release();
    record = taken;
    if (record) ++record->referenceCount;
}

void XmlElement::release() {
    if (!record) return;
    XmlElementRecord* dropped = record;
    record = nullptr;
    if (--dropped->referenceCount == 0) DestroyXmlElementRecord(dropped);
}

XmlElement XmlElement::adopt(XmlElementRecord* owned) {
    XmlElement handle;
    handle.record = owned;
    return handle;
}

const wchar_t* XmlElement::name() const { return record ? record->name : nullptr; }

int32_t XmlElement::childCount() const { return record ? record->childCount : 0; }

XmlElement XmlElement::childAt(int32_t index) const {
    if (!record || index < 0 || index >= record->childCount) return emptyElement;
    XmlElementRecord* child = record->children[index];
    ++child->referenceCount;
    return adopt(child);
}

XmlElement XmlElement::childByName(const wchar_t* childName, int32_t* position) const {
    if (!record) return emptyElement;
    int32_t start = position && *position > 0 ? *position : 0;
    for (int32_t i = start; i < record->childCount; ++i) {
        XmlElementRecord* child = record->children[i];
        if (TextEqualsIgnoreAsciiCase(child->name, childName)) {
            if (position) *position = i + 1;
            ++child->referenceCount;
            return adopt(child);
        }
    }
    return emptyElement;
}

const wchar_t* XmlElement::attributeValue(const wchar_t* attrName, int32_t* position) const {
    if (!record) return nullptr;
    int32_t start = position && *position > 0 ? *position : 0;
    for (int32_t i = start; i < record->attributeCount; ++i) {
        if (TextEqualsIgnoreAsciiCase(record->attributes[i].name, attrName)) {
            if (position) *position = i + 1;
            return record->attributes[i].value;
        }
    }
    return nullptr;
}

const wchar_t* XmlElement::text(int32_t index) const {
    if (!record || index < 0 || index >= record->textCount) return nullptr;
    return record->texts[index];
}

bool XmlElement::isDeclaration() const { return record && record->isDeclaration; }
