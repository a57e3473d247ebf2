// The growable array of plain values: the parser's per-parse scratch space, and the
// checker's record of where each element stood.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lib/xmlMemory.h"

template <typename T>
struct XmlStack {
    T* items = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    // False when memory runs out; the stack is unchanged then.
    bool push(const T& item) {
        if (count == capacity && !grow()) return false;
        items[count++] = item;
        return true;
    }
    T& top() { return items[count - 1]; }
    void cut(size_t newCount) { count = newCount; }
    void releaseMemory() {
        free(items);
        items = nullptr;
        count = capacity = 0;
    }

private:
    // Doubles, so a parse makes only a handful of these calls however big the text.
    bool grow() {
        size_t grown = capacity ? capacity * 2 : 64;
        if (grown > SIZE_MAX / sizeof(T)) return false;
        void* block = XmlRealloc(items, grown * sizeof(T));
        if (!block) return false;
        items = static_cast<T*>(block);
        capacity = grown;
        return true;
    }
};
