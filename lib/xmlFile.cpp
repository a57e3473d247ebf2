#include "lib/xmlFile.h"

#include <cstdlib>
#include <cstring>

XmlError ReadOpenedFile(FILE* file, unsigned char** bytes, size_t* length) {
    *bytes = nullptr;
    *length = 0;
    if (!file) return XML_FILE_NOT_FOUND;
    long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1L;
    if (size < 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return XML_FILE_NOT_FOUND;
    }
    if (size == 0) {
        fclose(file);
        return XML_NO_DATA;
    }
    auto* buffer = static_cast<unsigned char*>(malloc(size_t(size) + XML_FILE_TERMINATOR_BYTES));
    if (!buffer) {
        fclose(file);
        return XML_OUT_OF_MEMORY;
    }
    size_t got = fread(buffer, 1, size_t(size), file);
    fclose(file);
    if (got == 0) {
        free(buffer);
        return XML_NO_DATA;
    }
    memset(buffer + got, 0, XML_FILE_TERMINATOR_BYTES);
    *bytes = buffer;
    *length = got;
    return XML_OK;
}
