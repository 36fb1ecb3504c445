#include "engine/dib_layout.h"

#include <climits>
#include <cstring>
#include <utility>

namespace gdi {
namespace {

constexpr size_t kCoreTableEntry = 3;  // blue, green, red
constexpr size_t kInfoTableEntry = 4;  // blue, green, red, unused

bool valid_bit_count(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

uint16_t word_at(const uint8_t *p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

uint32_t dword_at(const uint8_t *p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool read_masks(const uint8_t *block, int bpp, FormatRef *out) {
    const uint8_t *fields = block + kInfoHeaderBytes;  // after a 40-byte header, or inside a larger one
    uint32_t masks[3];
    for (int i = 0; i < 3; ++i) {
        masks[i] = dword_at(fields + 4 * i);
        if (!masks[i]) return false;
    }
    *out = PixelFormat::with_masks(bpp, masks);
    return true;
}

FormatRef read_palette(const uint8_t *block, const DibHeader &h) {
    size_t count = h.table_entries();
    const uint8_t *table = block + h.size;
    TableColour colours[256];
    size_t entry_bytes = h.core() ? kCoreTableEntry : kInfoTableEntry;
    for (size_t i = 0; i < count; ++i, table += entry_bytes) colours[i] = TableColour{table[0], table[1], table[2], 0};
    return PixelFormat::indexed(h.bpp, colours, count);
}

}  // namespace

size_t DibHeader::table_entries() const {
    if (bpp <= 0 || bpp > 8) return 0;
    size_t limit = size_t(1) << bpp;
    return !core() && colours_used && colours_used < limit ? colours_used : limit;
}

bool read_dib_header(const uint8_t *block, DibHeader *out) {
    DibHeader h;
    h.size = dword_at(block);
    if (h.size == kCoreHeaderBytes) {  // size, then 16-bit width, height, planes and bit count
        h.width = word_at(block + 4);
        h.height = word_at(block + 6);
        h.planes = word_at(block + 8);
        h.bpp = word_at(block + 10);
    } else if (h.size >= kInfoHeaderBytes) {  // size, 32-bit width and height, 16-bit planes and bit count, ...
        h.width = int32_t(dword_at(block + 4));
        h.height = int32_t(dword_at(block + 8));
        h.planes = word_at(block + 12);
        h.bpp = word_at(block + 14);
        h.compression = dword_at(block + 16);
        h.image_bytes = dword_at(block + 20);
        h.colours_used = dword_at(block + 32);
    } else {
        return false;
    }
    *out = h;
    return true;
}

bool describe_dib_layout(const DibHeader &h, const uint8_t *block, Surface *out, size_t *image_bytes) {
    bool bitfields = h.compression == kDibBitfields;
    if (h.planes != 1 || !valid_bit_count(h.bpp) || h.width <= 0 || h.height == 0) return false;
    if (h.compression != kDibRgb && !(bitfields && (h.bpp == 16 || h.bpp == 32))) return false;
    int64_t rows = h.rows(), stride = h.stride();
    if (stride * rows > INT_MAX) return false;

    Surface s;
    s.width = int(h.width);
    s.height = int(rows);
    s.stride = int(stride);
    s.bottom_up = h.height > 0;
    if (bitfields) {
        if (!read_masks(block, h.bpp, &s.format)) return false;
    } else {
        s.format = h.bpp <= 8 ? read_palette(block, h) : PixelFormat::direct(h.bpp);
    }
    *out = std::move(s);
    if (image_bytes) *image_bytes = size_t(stride * rows);
    return true;
}

}  // namespace gdi
