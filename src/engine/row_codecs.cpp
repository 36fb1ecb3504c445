#include "engine/row_codecs.h"

#include <cstring>

#include "engine/pixel_access.h"
#include "engine/simd_row_copies.h"

namespace gdi {
namespace {

using namespace pixel;

inline void store32(uint8_t *p, uint32_t v) { std::memcpy(p, &v, 4); }

inline uint32_t to_fields(const PixelFormat &format, uint32_t bgra) {
    return format.to_fields[0][(bgra >> 16) & 0xFF] | format.to_fields[1][(bgra >> 8) & 0xFF] |
           format.to_fields[2][bgra & 0xFF];
}

template <int Bits>
void read_indexed(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *out) {
    for (int i = 0; i < count; ++i) out[i] = format.palette[index_at<Bits>(row, x + i)];
}

template <int Bits>
void write_indexed(const PixelFormat &format, const uint32_t *in, int count, uint8_t *row, int x) {
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    if (count <= 0) return;
    uint32_t last_colour = ~in[0];
    uint8_t index = 0;
    for (int i = 0; i < count; ++i) {
        if (in[i] != last_colour) {
            last_colour = in[i];
            index = nearest_index(format, in[i]);
        }
        int p = x + i;
        int shift = (kPerByte - 1 - p % kPerByte) * Bits;
        uint8_t &byte = row[p / kPerByte];
        byte = uint8_t((byte & ~(kMask << shift)) | (unsigned(index) << shift));
    }
}

template <int Bits>
void read_indices(const PixelFormat &, const uint8_t *row, int x, int count, uint32_t *out) {
    for (int i = 0; i < count; ++i) out[i] = index_at<Bits>(row, x + i);
}

template <int Bits>
void write_indices(const PixelFormat &, const uint32_t *in, int count, uint8_t *row, int x) {
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    for (int i = 0; i < count; ++i) {
        int p = x + i;
        int shift = (kPerByte - 1 - p % kPerByte) * Bits;
        uint8_t &byte = row[p / kPerByte];
        byte = uint8_t((byte & ~(kMask << shift)) | ((in[i] & kMask) << shift));
    }
}

void read16(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *out) {
    const uint8_t *p = row + 2 * x;
    for (int i = 0; i < count; ++i, p += 2) out[i] = from_fields16(format, p);
}

void write16(const PixelFormat &format, const uint32_t *in, int count, uint8_t *row, int x) {
    uint8_t *p = row + 2 * x;
    for (int i = 0; i < count; ++i, p += 2) {
        uint32_t v = to_fields(format, in[i]);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    }
}

void read24(const PixelFormat &, const uint8_t *row, int x, int count, uint32_t *out) {
    const uint8_t *p = row + 3 * x;
    for (int i = 0; i < count; ++i, p += 3) out[i] = rgb24(p);
}

void write24(const PixelFormat &, const uint32_t *in, int count, uint8_t *row, int x) {
    uint8_t *p = row + 3 * x;
    for (int i = 0; i < count; ++i, p += 3) {
        p[0] = uint8_t(in[i]);
        p[1] = uint8_t(in[i] >> 8);
        p[2] = uint8_t(in[i] >> 16);
    }
}

void read32(const PixelFormat &, const uint8_t *row, int x, int count, uint32_t *out) {
    std::memcpy(out, row + 4 * x, size_t(count) * 4);
}

void write32(const PixelFormat &, const uint32_t *in, int count, uint8_t *row, int x) {
    std::memcpy(row + 4 * x, in, size_t(count) * 4);
}

void read32_fields(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *out) {
    const uint8_t *p = row + 4 * x;
    for (int i = 0; i < count; ++i, p += 4) out[i] = from_fields32(format, p);
}

void write32_fields(const PixelFormat &format, const uint32_t *in, int count, uint8_t *row, int x) {
    uint8_t *p = row + 4 * x;
    for (int i = 0; i < count; ++i, p += 4) store32(p, to_fields(format, in[i]));
}

void copy24(const uint8_t *src, uint8_t *dst, int count) { std::memmove(dst, src, size_t(count) * 3); }

void copy32(const uint8_t *src, uint8_t *dst, int count) { std::memmove(dst, src, size_t(count) * 4); }

// Vector steps first, then four pixels (16 bytes) become three words (12 bytes) per step.
void copy32_to_24(const uint8_t *src, uint8_t *dst, int count) {
    int i = copy32_to_24_simd(src, dst, count);
    src += 4 * i;
    dst += 3 * i;
    for (; i + 4 <= count; i += 4, src += 16, dst += 12) {
        uint32_t p0 = load32(src), p1 = load32(src + 4), p2 = load32(src + 8), p3 = load32(src + 12);
        store32(dst, (p0 & 0xFFFFFF) | p1 << 24);
        store32(dst + 4, ((p1 >> 8) & 0xFFFF) | p2 << 16);
        store32(dst + 8, ((p2 >> 16) & 0xFF) | p3 << 8);
    }
    for (; i < count; ++i, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

// Vector steps first, then three words (four pixels) become four pixels per step.
void copy24_to_32(const uint8_t *src, uint8_t *dst, int count) {
    int i = copy24_to_32_simd(src, dst, count);
    src += 3 * i;
    dst += 4 * i;
    for (; i + 4 <= count; i += 4, src += 12, dst += 16) {
        uint32_t w0 = load32(src), w1 = load32(src + 4), w2 = load32(src + 8);
        store32(dst, (w0 & 0xFFFFFF));
        store32(dst + 4, (w0 >> 24) | ((w1 & 0xFFFF) << 8));
        store32(dst + 8, (w1 >> 16) | ((w2 & 0xFF) << 16));
        store32(dst + 12, (w2 >> 8));
    }
    for (; i < count; ++i, src += 3, dst += 4) store32(dst, rgb24(src));
}

bool plain32(const PixelFormat &format) { return format.bpp == 32 && !format.bitfields; }

// Full tables only: indices past a shorter table are not colours of it.
bool same_table(const PixelFormat &a, const PixelFormat &b) {
    if (a.bpp != b.bpp || a.bpp > 8 || a.palette_size != 1 << a.bpp || b.palette_size != a.palette_size) return false;
    return &a == &b || std::memcmp(a.palette, b.palette, sizeof(uint32_t) * size_t(a.palette_size)) == 0;
}

}  // namespace

RowReader reader_for(const PixelFormat &format) {
    switch (format.bpp) {
    case 1: return read_indexed<1>;
    case 4: return read_indexed<4>;
    case 8: return read_indexed<8>;
    case 16: return read16;
    case 24: return read24;
    default: return format.bitfields ? read32_fields : read32;
    }
}

RowWriter writer_for(const PixelFormat &format) {
    switch (format.bpp) {
    case 1: return write_indexed<1>;
    case 4: return write_indexed<4>;
    case 8: return write_indexed<8>;
    case 16: return write16;
    case 24: return write24;
    default: return format.bitfields ? write32_fields : write32;
    }
}

RowCodecs codecs_for(const PixelFormat &in, const PixelFormat &out) {
    if (same_table(in, out)) {
        switch (in.bpp) {
        case 1: return {read_indices<1>, write_indices<1>};
        case 4: return {read_indices<4>, write_indices<4>};
        default: return {read_indices<8>, write_indices<8>};
        }
    }
    return {reader_for(in), writer_for(out)};
}

RowCopy direct_copy_for(const PixelFormat &src, const PixelFormat &dst) {
    bool src24 = src.bpp == 24, dst24 = dst.bpp == 24;
    if (src24 && dst24) return copy24;
    if (plain32(src) && plain32(dst)) return copy32;
    if (plain32(src) && dst24) return copy32_to_24;
    if (src24 && plain32(dst)) return copy24_to_32;
    return nullptr;
}

}  // namespace gdi
