// The parsers under comparison, behind one plain interface so that no pugixml or
// tinyxml2 type (nor pugixml's wchar_t mode switch) leaks into the other files.
#pragma once

#include <cstddef>

struct ParseSummary {
    size_t elements;    // below and including KeyDeputy
    size_t attributes;  // on those elements
};

// Called while the tree is alive, between parsing and freeing it.
using TreeProbe = void (*)();

// Each parses the whole document, optionally counts what it holds and probes it,
// then frees the tree. False when the parser refused the document.
bool ParseWithKeyDeputy(const wchar_t* text, ParseSummary* summary, TreeProbe probe);
bool ParseWithPugixml(const wchar_t* text, size_t units, ParseSummary* summary, TreeProbe probe);
bool ParseWithTinyxml2(const char* utf8, size_t bytes, ParseSummary* summary, TreeProbe probe);

// The floor: one plain pass over the buffer, counting '<'.
size_t CountTagOpeners(const wchar_t* text, size_t units);
