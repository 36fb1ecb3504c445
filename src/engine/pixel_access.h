// Single pixels of each format as 0xAARRGGBB, inline: the row readers build on these, and
// single-pixel calls read through read_pixel without a row reader's call. The top byte is 0 for
// formats without one, as the platform writes it when converting them to 32 bits.
#pragma once
#include <cstdint>
#include <cstring>

#include "engine/pixel_format.h"

namespace gdi {
namespace pixel {

constexpr uint32_t kOpaque = 0xFF000000u;

inline uint32_t load32(const uint8_t *p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline uint32_t rgb24(const uint8_t *p) { return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

inline uint32_t from_fields16(const PixelFormat &format, const uint8_t *p) {
    return format.from_bytes[0][p[0]] | format.from_bytes[1][p[1]];
}

inline uint32_t from_fields32(const PixelFormat &format, const uint8_t *p) {
    return from_fields16(format, p) | format.from_bytes[2][p[2]] | format.from_bytes[3][p[3]];
}

// Indexed formats of 1, 4 and 8 bits per pixel, packed from the most significant end of each byte.
template <int Bits>
inline unsigned index_at(const uint8_t *row, int x) {
    constexpr int kPerByte = 8 / Bits;
    int shift = (kPerByte - 1 - x % kPerByte) * Bits;
    return (row[x / kPerByte] >> shift) & ((1u << Bits) - 1);
}

}  // namespace pixel

// The pixel at column x of a row.
inline uint32_t read_pixel(const PixelFormat &format, const uint8_t *row, int x) {
    using namespace pixel;
    switch (format.bpp) {
    case 1: return format.palette[index_at<1>(row, x)];
    case 4: return format.palette[index_at<4>(row, x)];
    case 8: return format.palette[row[x]];
    case 16: return from_fields16(format, row + 2 * x);
    case 24: return rgb24(row + 3 * x);
    default: return format.bitfields ? from_fields32(format, row + 4 * x) : load32(row + 4 * x);
    }
}

}  // namespace gdi
