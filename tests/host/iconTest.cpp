// The committed app/keydeputy.ico is exactly what the icon generator draws, and is an
// icon file the resource compiler and the platform accept: three 32-bit images,
// 48, 32 and 16 pixels, each with an AND mask that agrees with its alpha channel.
#include <gtest/gtest.h>
#include <cstdio>
#include <vector>
#include "tools/iconImage.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return bytes;
    uint8_t chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

unsigned U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | uint32_t(U16(b, at + 2)) << 16; }

std::vector<uint8_t> Drawn() {
    std::vector<uint8_t> icon(ICON_FILE_SIZE);
    icon.resize(BuildIconFile(icon.data(), icon.size()));
    return icon;
}

}  // namespace

TEST(IconFile, CommittedFileIsWhatTheGeneratorDraws) {
    std::vector<uint8_t> committed = ReadFile(KD_ICON_FILE);
    ASSERT_FALSE(committed.empty()) << "cannot read " << KD_ICON_FILE;
    std::vector<uint8_t> drawn = Drawn();
    ASSERT_EQ(drawn.size(), ICON_FILE_SIZE);
    EXPECT_TRUE(committed == drawn)
        << "app/keydeputy.ico differs from the generator's output; rebuild it with the icon target";
    // Drawing twice gives the same bytes.
    EXPECT_TRUE(Drawn() == drawn);
}

TEST(IconFile, GeneratorRefusesASmallBuffer) {
    std::vector<uint8_t> small(ICON_FILE_SIZE - 1, 0xAB);
    EXPECT_EQ(BuildIconFile(small.data(), small.size()), 0u);
    EXPECT_EQ(small[0], 0xAB) << "nothing is written when the file does not fit";
    EXPECT_EQ(BuildIconFile(nullptr, ICON_FILE_SIZE), 0u);
}

TEST(IconFile, HoldsThree32BitImagesWithMatchingMasks) {
    std::vector<uint8_t> icon = ReadFile(KD_ICON_FILE);
    ASSERT_GE(icon.size(), 6u + 3 * 16);
    EXPECT_EQ(U16(icon, 0), 0u);
    EXPECT_EQ(U16(icon, 2), 1u) << "type icon";
    ASSERT_EQ(U16(icon, 4), 3u);
    const int sizes[] = {48, 32, 16};
    size_t expectedOffset = 6 + 3 * 16;
    for (int i = 0; i < 3; ++i) {
        const int size = sizes[i];
        SCOPED_TRACE(size);
        const size_t entry = 6 + 16 * size_t(i);
        EXPECT_EQ(icon[entry], size);
        EXPECT_EQ(icon[entry + 1], size);
        EXPECT_EQ(icon[entry + 2], 0) << "no palette";
        EXPECT_EQ(U16(icon, entry + 4), 1u) << "planes";
        EXPECT_EQ(U16(icon, entry + 6), 32u) << "bits per pixel";
        const uint32_t bytes = U32(icon, entry + 8), offset = U32(icon, entry + 12);
        EXPECT_EQ(offset, expectedOffset) << "images follow each other without gaps";
        ASSERT_LE(size_t(offset) + bytes, icon.size());
        expectedOffset = offset + bytes;

        // BITMAPINFOHEADER: height counts colour rows and mask rows.
        EXPECT_EQ(U32(icon, offset), 40u);
        EXPECT_EQ(U32(icon, offset + 4), uint32_t(size));
        EXPECT_EQ(U32(icon, offset + 8), uint32_t(2 * size));
        EXPECT_EQ(U16(icon, offset + 12), 1u);
        EXPECT_EQ(U16(icon, offset + 14), 32u);
        EXPECT_EQ(U32(icon, offset + 16), 0u) << "BI_RGB";
        const size_t maskRow = (size + 31) / 32 * 4;
        ASSERT_EQ(bytes, 40 + size_t(size) * size * 4 + maskRow * size);

        const uint8_t* colour = &icon[offset + 40];
        const uint8_t* mask = colour + size * size * 4;
        int opaque = 0, clear = 0, partial = 0;
        for (int row = 0; row < size; ++row) {
            for (int x = 0; x < size; ++x) {
                const uint8_t* px = colour + (row * size + x) * 4;
                const bool masked = mask[row * maskRow + x / 8] & (0x80 >> (x % 8));
                EXPECT_EQ(masked, px[3] == 0) << "row " << row << " column " << x;
                if (px[3] == 0) {
                    EXPECT_EQ(px[0] | px[1] | px[2], 0) << "transparent pixels carry no colour";
                    ++clear;
                } else if (px[3] == 255) {
                    ++opaque;
                } else {
                    ++partial;
                }
            }
        }
        // A key on a clear background with smoothed edges: corners clear, middle solid.
        EXPECT_EQ(colour[3], 0) << "bottom-left corner";
        EXPECT_EQ(colour[(size * size - 1) * 4 + 3], 0) << "top-right corner";
        EXPECT_EQ(colour[((size / 2) * size + size / 2) * 4 + 3], 255) << "centre";
        EXPECT_GT(opaque, size * size / 2);
        EXPECT_GT(clear, 0);
        EXPECT_GT(partial, 0);
    }
    EXPECT_EQ(expectedOffset, icon.size()) << "nothing after the last image";
}
