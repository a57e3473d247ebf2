#include "tools/iconImage.h"

// Integer arithmetic only, so every compiler and flag set gives the same bytes.
// The drawing lives on a 3072-unit square (48 steps of 64); every image is
// sampled on the same 384 x 384 grid, whose sample i sits at unit (2i+1)*4,
// and a pixel of an n-pixel image averages (384/n)^2 samples.

namespace {

constexpr int UNIT = 64;
constexpr int SPAN = 48 * UNIT;
constexpr int GRID = 384;

struct Pixel {
    int r, g, b, a;  // premultiplied, 0..255
};

struct Colour {
    int r, g, b;
};

bool InRoundRect(int x, int y, int left, int top, int right, int bottom, int radius) {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    int cx = x < left + radius ? left + radius : (x > right - radius ? right - radius : x);
    int cy = y < top + radius ? top + radius : (y > bottom - radius ? bottom - radius : y);
    long long dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= (long long)radius * radius;
}

// Within halfWidth of the segment a-b (a stroke with round ends).
bool InStroke(int x, int y, int ax, int ay, int bx, int by, int halfWidth) {
    long long dx = bx - ax, dy = by - ay;
    long long px = x - ax, py = y - ay;
    long long length2 = dx * dx + dy * dy;
    long long along = px * dx + py * dy;
    long long w2 = (long long)halfWidth * halfWidth;
    if (along <= 0) return px * px + py * py <= w2;
    if (along >= length2) {
        long long qx = x - bx, qy = y - by;
        return qx * qx + qy * qy <= w2;
    }
    long long cross = px * dy - py * dx;
    return cross * cross <= w2 * length2;
}

Colour Blend(Colour from, Colour to, int at, int begin, int end) {
    int span = end - begin;
    int t = at < begin ? 0 : (at > end ? span : at - begin);
    return {from.r + (to.r - from.r) * t / span, from.g + (to.g - from.g) * t / span,
            from.b + (to.b - from.b) * t / span};
}

void Paint(Pixel& dst, Colour c, int alpha) {
    dst.r = (c.r * alpha + dst.r * (255 - alpha) + 127) / 255;
    dst.g = (c.g * alpha + dst.g * (255 - alpha) + 127) / 255;
    dst.b = (c.b * alpha + dst.b * (255 - alpha) + 127) / 255;
    dst.a = (255 * alpha + dst.a * (255 - alpha) + 127) / 255;
}

// The key: a soft shadow, a dark rim, the sloped sides and the lighter top face
// carrying a K. The rim is always one pixel wide, whatever the image size.
Pixel Sample(int x, int y, int size) {
    const int rim = SPAN / size;
    Pixel p = {0, 0, 0, 0};
    if (InRoundRect(x, y, 3 * UNIT, 5 * UNIT, 47 * UNIT, 47 * UNIT, 10 * UNIT)) Paint(p, {0, 0, 0}, 60);
    if (InRoundRect(x, y, 2 * UNIT, 2 * UNIT, 46 * UNIT, 45 * UNIT, 10 * UNIT)) Paint(p, {0x1F, 0x27, 0x31}, 255);
    if (InRoundRect(x, y, 2 * UNIT + rim, 2 * UNIT + rim, 46 * UNIT - rim, 45 * UNIT - rim, 10 * UNIT - rim))
        Paint(p, Blend({0x66, 0x77, 0x8C}, {0x33, 0x40, 0x50}, y, 2 * UNIT, 45 * UNIT), 255);
    if (InRoundRect(x, y, 8 * UNIT, 5 * UNIT, 40 * UNIT, 35 * UNIT, 6 * UNIT))
        Paint(p, Blend({0xFF, 0xFF, 0xFF}, {0xD5, 0xDC, 0xE5}, y, 5 * UNIT, 35 * UNIT), 255);
    const int half = 27 * UNIT / 10;
    if (InStroke(x, y, 17 * UNIT, 12 * UNIT, 17 * UNIT, 28 * UNIT, half) ||
        InStroke(x, y, 18 * UNIT, 21 * UNIT, 30 * UNIT, 12 * UNIT, half) ||
        InStroke(x, y, 21 * UNIT, 19 * UNIT, 30 * UNIT, 28 * UNIT, half))
        Paint(p, {0x1D, 0x5F, 0xB4}, 255);
    return p;
}

void Put16(uint8_t*& out, unsigned value) {
    *out++ = uint8_t(value);
    *out++ = uint8_t(value >> 8);
}

void Put32(uint8_t*& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom-up, AND mask.
void WriteImage(uint8_t*& out, int size) {
    const int samples = GRID / size;
    const int count = samples * samples;
    const size_t maskRow = size_t((size + 31) / 32 * 4);
    Put32(out, 40);
    Put32(out, uint32_t(size));
    Put32(out, uint32_t(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, uint32_t(IconImageBytes(size) - 40));
    for (int i = 0; i < 4; ++i) Put32(out, 0);

    uint8_t* colours = out;
    uint8_t* mask = out + size_t(size) * size * 4;
    for (size_t i = 0; i < maskRow * size; ++i) mask[i] = 0;
    for (int row = 0; row < size; ++row) {
        const int py = size - 1 - row;
        for (int px = 0; px < size; ++px) {
            int r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const int gx = px * samples + sx, gy = py * samples + sy;
                    Pixel s = Sample((2 * gx + 1) * 4, (2 * gy + 1) * 4, size);
                    r += s.r;
                    g += s.g;
                    b += s.b;
                    a += s.a;
                }
            }
            a = (a + count / 2) / count;
            uint8_t* dst = colours + (size_t(row) * size + px) * 4;
            if (a == 0) {
                dst[0] = dst[1] = dst[2] = dst[3] = 0;
                mask[maskRow * row + px / 8] |= uint8_t(0x80 >> (px % 8));
                continue;
            }
            // Average premultiplied, store straight colour as the format wants.
            const int totalA = a * count;
            auto straight = [&](int sum) {
                int v = (sum * 255 + totalA / 2) / totalA;
                return uint8_t(v > 255 ? 255 : v);
            };
            dst[0] = straight(b);
            dst[1] = straight(g);
            dst[2] = straight(r);
            dst[3] = uint8_t(a);
        }
    }
    out = mask + maskRow * size;
}

}  // namespace

size_t BuildIconFile(uint8_t* out, size_t capacity) {
    if (out == nullptr || capacity < ICON_FILE_SIZE) return 0;
    uint8_t* p = out;
    Put16(p, 0);
    Put16(p, 1);
    Put16(p, ICON_IMAGE_COUNT);
    uint32_t offset = 6 + 16 * ICON_IMAGE_COUNT;
    for (int size : ICON_SIZES) {
        *p++ = uint8_t(size);
        *p++ = uint8_t(size);
        *p++ = 0;
        *p++ = 0;
        Put16(p, 1);
        Put16(p, 32);
        Put32(p, uint32_t(IconImageBytes(size)));
        Put32(p, offset);
        offset += uint32_t(IconImageBytes(size));
    }
    for (int size : ICON_SIZES) WriteImage(p, size);
    return size_t(p - out);
}
