// Parses arbitrary UTF-16 text and checks what the element tree answers.
// Input: one mode byte, then the text as little-endian UTF-16 units.
//   mode & 3: expected root none, "", "KeyDeputy" or "a"; mode & 4: no trimming.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lib/textCopy.h"
#include "lib/xmlElementRecord.h"
#include "lib/xmlReader.h"
#include "tests/fuzz/fuzzText.h"

namespace {

const wchar_t* const EXPECTED_ROOTS[4] = {nullptr, L"", L"KeyDeputy", L"a"};

// The four characters trimming removes, and no others.
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Every code a parse of real text may end with; the others belong to file loading.
bool IsParseCode(int32_t code) {
    switch (code) {
    case XML_OK:
    case XML_WARNING_END_TAG_MISMATCH:
    case XML_MISSING_TAG_NAME:
    case XML_MISSING_END_TAG_NAME:
    case XML_END_TAG_MISMATCH:
    case XML_CLEAR_TAG_MISMATCH:
    case XML_EXTRA_NODE:
    case XML_INVALID_TAG:
    case XML_ROOT_NOT_FOUND:
    case XML_UNKNOWN_CHARSET:
    case XML_OUT_OF_MEMORY:
        return true;
    default:
        return false;
    }
}

// Lookups by name see every match in turn through the position, and nothing else.
void CheckAttributes(const XmlElement& element) {
    const XmlElementRecord* record = element.raw();
    for (int32_t i = 0; i < record->attributeCount; ++i) {
        const wchar_t* name = record->attributes[i].name;
        FUZZ_CHECK(name && *name);
        int32_t position = 0, matches = 0;
        bool sawSelf = false;
        for (;;) {
            int32_t before = position;
            const wchar_t* value = element.attributeValue(name, &position);
            if (position == before) {
                FUZZ_CHECK(!value);
                break;
            }
            FUZZ_CHECK(position > before && position <= record->attributeCount);
            const XmlAttr& found = record->attributes[position - 1];
            FUZZ_CHECK(TextEqualsIgnoreAsciiCase(found.name, name));
            FUZZ_CHECK(value == found.value);
            if (value) TextLength(value);
            sawSelf = sawSelf || position - 1 == i;
            ++matches;
        }
        FUZZ_CHECK(sawSelf && matches >= 1);
        // Without a position the first match answers.
        int32_t first = 0;
        FUZZ_CHECK(element.attributeValue(name, nullptr) == element.attributeValue(name, &first));
    }
}

// Trimming comes before decoding, and a reference may stand for a blank or for
// U+0000 (&#; and &#0;), so the shape of a text is known only without references.
void CheckTexts(const XmlElement& element, bool trimmed, bool references) {
    const XmlElementRecord* record = element.raw();
    for (int32_t i = 0; i < record->textCount; ++i) {
        const wchar_t* text = element.text(i);
        FUZZ_CHECK(text && text == record->texts[i]);
        size_t length = TextLength(text);
        if (references) continue;
        FUZZ_CHECK(length > 0);  // blank or empty runs are never stored
        if (trimmed) FUZZ_CHECK(!IsBlank(text[0]) && !IsBlank(text[length - 1]));
    }
    FUZZ_CHECK(!element.text(record->textCount) && !element.text(-1));
}

void CheckChildLookup(const XmlElement& element) {
    int32_t count = element.childCount();
    // Quadratic; the first few children are enough to exercise the position rules.
    for (int32_t i = 0; i < count && i < 16; ++i) {
        XmlElement child = element.childAt(i);
        int32_t position = 0;
        bool sawSelf = false;
        for (;;) {
            int32_t before = position;
            XmlElement found = element.childByName(child.name(), &position);
            if (found.isEmpty()) {
                FUZZ_CHECK(position == before);
                break;
            }
            FUZZ_CHECK(position > before && position <= count);
            FUZZ_CHECK(found.raw() == element.raw()->children[position - 1]);
            FUZZ_CHECK(TextEqualsIgnoreAsciiCase(found.name(), child.name()));
            sawSelf = sawSelf || found.raw() == child.raw();
        }
        FUZZ_CHECK(sawSelf);
    }
}

// Walks the whole tree through the queries; returns the number of elements.
// Remembers in *last the last element reached, to outlive its root.
size_t Walk(const XmlElement& element, bool trimmed, bool references, int32_t depth, XmlElement* last) {
    FUZZ_CHECK(!element.isEmpty());
    FUZZ_CHECK(depth <= XML_MAX_DEPTH + 2);
    const wchar_t* name = element.name();
    FUZZ_CHECK(!name || *name);  // only the top element is nameless
    element.isDeclaration();
    CheckAttributes(element);
    CheckTexts(element, trimmed, references);
    CheckChildLookup(element);

    int32_t count = element.childCount();
    FUZZ_CHECK(count >= 0);
    FUZZ_CHECK(element.childAt(count).isEmpty() && element.childAt(-1).isEmpty());
    size_t total = 1;
    last->assign(element);
    for (int32_t i = 0; i < count; ++i) {
        XmlElement child = element.childAt(i);
        FUZZ_CHECK(child.name() && child.raw()->parent == element.raw());
        total += Walk(child, trimmed, references, depth + 1, last);
    }
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const wchar_t* expectedRoot = EXPECTED_ROOTS[mode & 3];
    const bool trimmed = (mode & 4) == 0;
    wchar_t* text = FuzzUtf16Text(data + 1, size - 1);
    bool references = false;
    for (const wchar_t* p = text; *p && !references; ++p) references = *p == L'&';

    const bool savedTrim = ReaderSettings.trimWhitespace;
    ReaderSettings.trimWhitespace = trimmed;
    XmlParseResult result = {XML_NO_DATA, -7, -7};  // not a parse outcome, so it shows being left alone
    XmlElement root = ParseXmlText(text, expectedRoot, &result);
    ReaderSettings.trimWhitespace = savedTrim;

    FUZZ_CHECK(IsParseCode(result.code));
    FUZZ_CHECK(XmlErrorText(result.code) != nullptr);
    if (result.code == XML_OK) {
        FUZZ_CHECK(result.line == -7 && result.column == -7);
    } else if (result.code == XML_ROOT_NOT_FOUND) {
        FUZZ_CHECK(result.line == 0 && result.column == 0);
    } else {
        FUZZ_CHECK(result.line >= 1 && result.column >= 1);
    }

    if (result.code > XML_WARNING_END_TAG_MISMATCH) {
        FUZZ_CHECK(root.isEmpty());
    } else {
        FUZZ_CHECK(!root.isEmpty());
        if (expectedRoot && *expectedRoot) FUZZ_CHECK(TextEqualsIgnoreAsciiCase(root.name(), expectedRoot));
        XmlElement last;
        size_t count = Walk(root, trimmed, references, 0, &last);
        // The last element keeps its subtree alive after the root is gone.
        root.release();
        XmlElement kept;
        size_t keptCount = Walk(last, trimmed, references, 0, &kept);
        FUZZ_CHECK(keptCount >= 1 && keptCount <= count);
    }
    free(text);
    return 0;
}
