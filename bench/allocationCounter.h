// Counts the heap the benchmark's code takes. The benchmark links with
// -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc,--wrap=free, so every call our
// objects make (our reader in kdcore, pugixml compiled in) lands here; the global
// operator new and delete are replaced to go through the same functions, which
// also catches tinyxml2, a shared library that allocates with new. Sizes are the
// allocator's usable sizes (malloc_usable_size), so rounding counts; the 8-byte
// header glibc keeps per block does not, which is why blocks are counted too.
#pragma once

#include <cstddef>

// Counts from zero while on: only blocks taken and given back in between count,
// so a window should hold the whole life of what it measures.
struct AllocationCounts {
    long long liveBytes;
    long long liveBlocks;
    long long peakBytes;  // highest liveBytes since counting started
};

void StartCountingAllocations();
void StopCountingAllocations();
AllocationCounts CurrentAllocations();
