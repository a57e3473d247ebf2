// Writes the program's icon: makeIcon path/to/keydeputy.ico
#include <cstdio>
#include "tools/iconImage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeIcon OUTPUT.ico\n");
        return 2;
    }
    static uint8_t icon[ICON_FILE_SIZE];
    size_t size = BuildIconFile(icon, sizeof icon);
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(icon, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
