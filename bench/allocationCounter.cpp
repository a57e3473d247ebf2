#include "bench/allocationCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t bytes);
void* __real_calloc(size_t count, size_t bytes);
void* __real_realloc(void* block, size_t bytes);
void __real_free(void* block);
}

namespace {
// Single-threaded benchmark: plain counters are enough.
AllocationCounts Counts;
// Off while timing: the counting would tax the parser that calls the heap most.
bool Counting = false;

void Taken(void* block) {
    if (!block || !Counting) return;
    Counts.liveBytes += (long long)malloc_usable_size(block);
    ++Counts.liveBlocks;
    if (Counts.liveBytes > Counts.peakBytes) Counts.peakBytes = Counts.liveBytes;
}

void Given(void* block) {
    if (!block || !Counting) return;
    Counts.liveBytes -= (long long)malloc_usable_size(block);
    --Counts.liveBlocks;
}
}  // namespace

void StartCountingAllocations() {
    Counts = {};
    Counting = true;
}

void StopCountingAllocations() { Counting = false; }

AllocationCounts CurrentAllocations() { return Counts; }

extern "C" {
void* __wrap_malloc(size_t bytes) {
    void* block = __real_malloc(bytes);
    Taken(block);
    return block;
}

void* __wrap_calloc(size_t count, size_t bytes) {
    void* block = __real_calloc(count, bytes);
    Taken(block);
    return block;
}

void* __wrap_realloc(void* block, size_t bytes) {
    // Counted as a free and a new block; on failure the old block stays.
    if (!Counting) return __real_realloc(block, bytes);
    size_t before = block ? malloc_usable_size(block) : 0;
    void* grown = __real_realloc(block, bytes);
    if (!grown && bytes) return nullptr;
    if (block) {
        Counts.liveBytes -= (long long)before;
        --Counts.liveBlocks;
    }
    Taken(grown);
    return grown;
}

void __wrap_free(void* block) {
    Given(block);
    __real_free(block);
}
}

// These call malloc and free of this file, which the link redirects to the
// counting functions above.
void* operator new(size_t bytes) {
    void* block = malloc(bytes ? bytes : 1);
    if (!block) abort();  // built without exceptions elsewhere; out of memory ends the run
    return block;
}
void* operator new[](size_t bytes) { return operator new(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return malloc(bytes ? bytes : 1); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return malloc(bytes ? bytes : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
