// Suggestions for misspelt names: the closest name of a fixed list.
#pragma once

#include <cstddef>

// Edits (insert, delete, replace one UTF-16 unit, ASCII case ignored) from a to b;
// texts beyond 63 units count as far from everything.
size_t EditDistance(const wchar_t* a, const wchar_t* b);

// The first of names closest to text within maxDistance edits, or null.
const wchar_t* NearestName(const wchar_t* text, const wchar_t* const* names, size_t count, size_t maxDistance);
