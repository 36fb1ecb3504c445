#include "engine/packed_rows.h"

#include <cstring>

namespace gdi {
namespace {

uint32_t to_fields(const PixelFormat &format, uint32_t bgra) {
    return format.to_fields[0][(bgra >> 16) & 0xFF] | format.to_fields[1][(bgra >> 8) & 0xFF] |
           format.to_fields[2][bgra & 0xFF];
}

int bytes_of(const PixelFormat &format) { return format.bpp / 8; }

}  // namespace

void pack_row(const PixelFormat &format, const uint32_t *bgra, int count, uint32_t *packed) {
    if (format.bpp <= 8) {
        for (int i = 0; i < count; ++i) packed[i] = nearest_index(format, bgra[i]);
    } else if (format.bitfields) {
        for (int i = 0; i < count; ++i) packed[i] = to_fields(format, bgra[i]);
    } else {
        std::memcpy(packed, bgra, size_t(count) * 4);
    }
}

void load_packed(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *packed) {
    int bpp = format.bpp;
    if (bpp <= 8) {
        unsigned mask = (1u << bpp) - 1;
        for (int i = 0; i < count; ++i) {
            int bit = (x + i) * bpp;
            packed[i] = (row[bit / 8] >> (8 - bpp - bit % 8)) & mask;
        }
        return;
    }
    int bytes = bytes_of(format);
    const uint8_t *p = row + x * bytes;
    for (int i = 0; i < count; ++i, p += bytes) {
        uint32_t v = 0;
        std::memcpy(&v, p, size_t(bytes));
        packed[i] = v;
    }
}

void store_packed(const PixelFormat &format, const uint32_t *packed, int count, uint8_t *row, int x) {
    int bpp = format.bpp;
    if (bpp <= 8) {
        unsigned mask = (1u << bpp) - 1;
        for (int i = 0; i < count; ++i) {
            int bit = (x + i) * bpp;
            int shift = 8 - bpp - bit % 8;
            uint8_t &byte = row[bit / 8];
            byte = uint8_t((byte & ~(mask << shift)) | ((packed[i] & mask) << shift));
        }
        return;
    }
    int bytes = bytes_of(format);
    uint8_t *p = row + x * bytes;
    for (int i = 0; i < count; ++i, p += bytes) std::memcpy(p, &packed[i], size_t(bytes));
}

}  // namespace gdi
