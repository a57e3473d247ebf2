// Deterministic configuration-like documents for the parser benchmark.
#pragma once

#include <cstddef>
#include <string>

// A KeyDeputy configuration of at most units UTF-16 code units, as close as whole
// submenus allow (at least one): settings, tip and language sections around a
// menu of nested submenus with hotkey / selectable / checked attributes,
// entities, character references, comments, CDATA sections and Chinese names and
// texts. The same size always gives the same text.
std::wstring MakeConfigDocument(size_t units);

// The same document in UTF-8 (tinyxml2 reads nothing else). Surrogate pairs
// become one four-byte sequence.
std::string ToUtf8(const std::wstring& utf16);
