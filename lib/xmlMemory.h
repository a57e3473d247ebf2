// Allocation used by the XML reader for everything it builds.
#pragma once

#include <cstddef>

// Both return null when memory runs out; the reader turns that into a parse
// failure. Kept alone in xmlMemory.cpp so that host tests can supply their own
// definitions at link time and make chosen allocations fail. Blocks are freed
// with free().
void* XmlAlloc(size_t bytes);
void* XmlRealloc(void* block, size_t bytes);
