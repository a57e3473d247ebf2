// What the checks of one document share: the report they fill, the platform, the
// text and where the parser saw each element; and how they point into the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "check/checkPlatform.h"
#include "check/checkReport.h"
#include "check/lineIndex.h"
#include "lib/textCopy.h"
#include "lib/xmlReader.h"
#include "lib/growArray.h"

constexpr size_t NO_OFFSET = size_t(-1);
constexpr size_t NAME_SIZE = 64;  // names quoted in messages, cut to fit
constexpr int32_t MAX_ATTRIBUTES = 16;

// Where the parser saw an element, as its observer was told.
struct ElementPlace {
    const XmlElementRecord* record;
    size_t nameOffset;
    XmlElementEnd end;
};

struct Places : GrowArray<ElementPlace> {
    bool failed = false;  // memory ran out: some places are missing
};

struct CheckContext {
    CheckReport* report;
    const CheckPlatform* platform;
    const wchar_t* text;
    Places places;           // in the order the elements ended
    ElementPlace* byRecord;  // the same sorted by record for lookups, once the tree is complete
    LineIndex lines;         // of text, for positions (the report's)
    const wchar_t* folder;   // the configuration's folder: where KeyDeputy.exe would be
};

// Sorts a copy of the places for PlaceOf; without it PlaceOf searches them in order.
void SortPlaces(CheckContext& c);

// The parser's observer: records every element's place in context (a Places).
void ObserveElement(void* context, const XmlElementRecord* record, size_t nameOffset, XmlElementEnd end);

// Whether the report has room for no more findings; past it they are only counted,
// and what only their text needs (positions, suggestions) is not worked out.
inline bool ReportFull(const CheckContext& c) { return c.report->findingCount >= MAX_FINDINGS; }

// The position of offset; not worked out for a finding the full report will leave out.
CheckPosition At(const CheckContext& c, size_t offset);
// The unit offset of a line and column as the parse result gives them.
size_t OffsetOf(const wchar_t* text, int32_t line, int32_t column);
void Add(CheckContext& c, Severity severity, const char* code, CheckPosition position,
         std::initializer_list<const wchar_t*> message, std::initializer_list<const wchar_t*> help);

// The name written at offset, up to what ends a name, cut to NAME_SIZE.
void NameAt(const wchar_t* text, size_t offset, wchar_t* out);
const ElementPlace* PlaceOf(const CheckContext& c, const XmlElement& element);
// Offset of the '<' of an element's start tag.
size_t TagOffset(const CheckContext& c, const XmlElement& element);

// The attributes of a start tag as the tokenizer splits them: name offsets and
// whether each has a value; also where the content after the tag begins.
struct StartTag {
    size_t nameOffsets[MAX_ATTRIBUTES];
    size_t nameLengths[MAX_ATTRIBUTES];
    bool hasValue[MAX_ATTRIBUTES];
    int32_t count;
    size_t contentOffset;  // first non-blank unit after '>', NO_OFFSET for "/>"
};

void ReadStartTag(const CheckContext& c, const XmlElement& element, StartTag* tag);
// The attribute's name in the start tag, else the tag itself.
size_t AttributeOffset(const CheckContext& c, const XmlElement& element, const wchar_t* name);
// The first unit of the element's text, else its tag.
size_t ContentOffset(const CheckContext& c, const XmlElement& element);

// A word a new user tries, and the name the program knows.
struct NameAlias {
    const wchar_t* word;
    const wchar_t* name;
};

template <size_t N>
bool IsOneOf(const wchar_t* name, const wchar_t* const (&names)[N]) {
    for (const wchar_t* known : names)
        if (TextEqualsIgnoreAsciiCase(name, known)) return true;
    return false;
}

// The checks, each adding its findings to the report.
void ExplainLoadError(CheckContext& c, const XmlParseResult& result);
void CheckSections(CheckContext& c, const XmlElement& root);
void CheckMenu(CheckContext& c, const XmlElement& root);
// How a command for the shell will be run (into row->run), and what will fail.
void CheckShellCommand(CheckContext& c, const XmlElement& element, const wchar_t* command, ItemRow* row);
