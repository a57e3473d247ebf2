#include "lib/xmlMemory.h"

#include <cstdlib>

void* XmlAlloc(size_t bytes) { return malloc(bytes); }

void* XmlRealloc(void* block, size_t bytes) { return realloc(block, bytes); }
