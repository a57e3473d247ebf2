// The one growable array of plain values: the parser's scratch space, the command
// list, and the checker's places and report text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "lib/xmlMemory.h"

// FIRST is the room of the first growth. Count is the type the users index with.
template <typename T, typename Count = size_t, Count FIRST = 64>
struct GrowArray {
    T* items = nullptr;
    Count count = 0;
    Count capacity = 0;

    // Room for more items past count. Doubles, so a long list is copied only a
    // handful of times however big it grows. False when memory runs out or the
    // room cannot be counted; the array is unchanged then.
    bool reserve(Count more) {
        if (more <= capacity - count) return true;
        Count grown = capacity ? capacity : FIRST;
        while (more > grown - count) {
            if (grown > std::numeric_limits<Count>::max() / 2) return false;
            grown *= 2;
        }
        if (size_t(grown) > SIZE_MAX / sizeof(T)) return false;
        void* block = XmlRealloc(items, size_t(grown) * sizeof(T));
        if (!block) return false;
        items = static_cast<T*>(block);
        capacity = grown;
        return true;
    }
    bool push(const T& item) {
        if (!reserve(1)) return false;
        items[count++] = item;
        return true;
    }
    T& top() { return items[count - 1]; }
    void cut(Count newCount) { count = newCount; }
    void releaseMemory() {
        free(items);
        items = nullptr;
        count = capacity = 0;
    }
};
