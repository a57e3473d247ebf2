#include "lib/xmlEntities.h"

#include <cstdint>

#include "lib/xmlTokenizer.h"

const XmlEntity XML_ENTITIES[XML_ENTITY_COUNT] = {
    {L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

namespace {

// The entity row that begins at s (left characters remain), or null.
const XmlEntity* MatchEntity(const wchar_t* s, size_t left) {
    if (left < 4) return nullptr;  // the shortest reference, "&lt;"
    for (const XmlEntity& entity : XML_ENTITIES) {
        if (FoldAscii(s[1]) != entity.reference[1]) continue;  // the table is in lower case
        if (entity.length > left) continue;
        size_t i = 0;
        while (i < entity.length && FoldAscii(s[i]) == FoldAscii(entity.reference[i])) ++i;
        if (i == entity.length) return &entity;
    }
    return nullptr;
}

bool StartsCharacterReference(const wchar_t* s, size_t left) { return left > 2 && s[1] == L'#'; }

// Index of the ';' closing the character reference at s, or 0 when it has none.
size_t CharacterReferenceEnd(const wchar_t* s, size_t left) {
    for (size_t i = 2; i < left; ++i)
        if (s[i] == L';') return i;
    return 0;
}

// Value of the digits between "&#" (and an optional x) and the ';' at end, cut
// to one UTF-16 unit; false on any other character.
bool CharacterReferenceValue(const wchar_t* s, size_t end, wchar_t* value) {
    size_t i = 2;
    bool hex = s[i] == L'x' || s[i] == L'X';
    if (hex) ++i;
    uint32_t v = 0;  // unsigned: long digit runs wrap instead of overflowing
    for (; i < end; ++i) {
        wchar_t c = s[i];
        uint32_t digit;
        if (c >= L'0' && c <= L'9')
            digit = uint32_t(c - L'0');
        else if (hex && c >= L'a' && c <= L'f')
            digit = uint32_t(c - L'a' + 10);
        else if (hex && c >= L'A' && c <= L'F')
            digit = uint32_t(c - L'A' + 10);
        else
            return false;
        v = v * (hex ? 16u : 10u) + digit;
    }
    *value = wchar_t(v & 0xFFFFu);
    return true;
}

}  // namespace

bool MeasureXmlEntities(const wchar_t* start, size_t length, size_t* decodedLength) {
    size_t count = 0;
    while (count < length && start[count] != L'&') ++count;
    if (count == length) {
        *decodedLength = length;  // the common case: nothing to decode
        return true;
    }
    for (size_t i = count; i < length; ++count) {
        if (start[i] != L'&') {
            ++i;
            continue;
        }
        const wchar_t* s = start + i;
        size_t left = length - i;
        if (StartsCharacterReference(s, left)) {
            size_t end = CharacterReferenceEnd(s, left);
            wchar_t value;
            if (!end || !CharacterReferenceValue(s, end, &value)) return false;
            i += end + 1;
        } else if (const XmlEntity* entity = MatchEntity(s, left)) {
            i += entity->length;
        } else {
            return false;
        }
    }
    *decodedLength = count;
    return true;
}

void WriteXmlEntities(const wchar_t* start, size_t length, wchar_t* out) {
    for (size_t i = 0; i < length; ++out) {
        const wchar_t* s = start + i;
        if (*s != L'&') {
            *out = *s;
            ++i;
            continue;
        }
        size_t left = length - i;
        if (StartsCharacterReference(s, left)) {
            size_t end = CharacterReferenceEnd(s, left);
            CharacterReferenceValue(s, end, out);
            i += end + 1;
        } else {
            const XmlEntity* entity = MatchEntity(s, left);
            *out = entity->character;
            i += entity->length;
        }
    }
}
