// Reading a BITMAPINFO (any header version the platform knows) into a surface description.
#include <climits>
#include <cstring>

#include "gdi/gdi_internal.h"

namespace gdi {
namespace {

constexpr DWORD kCoreHeader = 12;

bool known_header(DWORD size) {
    return size == kCoreHeader || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool valid_bit_count(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

DWORD dword_at(const uint8_t *p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

// The header fields that matter, whichever header version holds them.
struct DibHeader {
    int64_t width = 0;
    int64_t height = 0;
    int planes = 0;
    int bpp = 0;
    DWORD compression = BI_RGB;
    DWORD colours_used = 0;
};

// Headers are copied out byte-wise: a BMP file's info block sits at offset 14, not 4-aligned.
DWORD header_bytes(const BITMAPINFO *info) { return dword_at(reinterpret_cast<const uint8_t *>(info)); }

DibHeader read_header(const BITMAPINFO *info) {
    DibHeader h;
    if (header_bytes(info) == kCoreHeader) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, info, sizeof core);
        h.width = core.bcWidth;
        h.height = core.bcHeight;
        h.planes = core.bcPlanes;
        h.bpp = core.bcBitCount;
        return h;
    }
    BITMAPINFOHEADER b;
    std::memcpy(&b, info, sizeof b);
    h.width = b.biWidth;
    h.height = b.biHeight;
    h.planes = b.biPlanes;
    h.bpp = b.biBitCount;
    h.compression = b.biCompression;
    h.colours_used = b.biClrUsed;
    return h;
}

bool read_masks(const BITMAPINFO *info, Surface *out) {
    const uint8_t *base = reinterpret_cast<const uint8_t *>(info);
    const uint8_t *masks = base + sizeof(BITMAPINFOHEADER);  // after a 40-byte header, or inside a larger one
    for (int i = 0; i < 3; ++i) {
        out->masks[i] = dword_at(masks + 4 * i);
        if (!out->masks[i]) return false;
    }
    return true;
}

void read_palette(const BITMAPINFO *info, const DibHeader &h, Surface *out) {
    size_t limit = size_t(1) << h.bpp;
    size_t count = h.colours_used && h.colours_used < limit ? h.colours_used : limit;
    const uint8_t *table = reinterpret_cast<const uint8_t *>(info) + header_bytes(info);
    out->palette.resize(count);
    if (header_bytes(info) != kCoreHeader) {
        std::memcpy(out->palette.data(), table, count * sizeof(RGBQUAD));
        return;
    }
    for (size_t i = 0; i < count; ++i, table += sizeof(RGBTRIPLE))
        out->palette[i] = RGBQUAD{table[0], table[1], table[2], 0};
}

}  // namespace

bool describe_dib(const BITMAPINFO *info, Surface *out, size_t *image_bytes) {
    if (!info || !known_header(header_bytes(info))) return false;
    DibHeader h = read_header(info);
    bool bitfields = h.compression == BI_BITFIELDS;
    if (h.planes != 1 || !valid_bit_count(h.bpp) || h.width <= 0 || h.height == 0) return false;
    if (h.compression != BI_RGB && !(bitfields && (h.bpp == 16 || h.bpp == 32))) return false;
    int64_t rows = h.height < 0 ? -h.height : h.height;
    int64_t stride = (h.width * h.bpp + 31) / 32 * 4;
    if (stride * rows > INT_MAX) return false;

    Surface s;
    s.width = int(h.width);
    s.height = int(rows);
    s.stride = int(stride);
    s.bottom_up = h.height > 0;
    s.bpp = h.bpp;
    s.bitfields = bitfields;
    if (bitfields && !read_masks(info, &s)) return false;
    if (h.bpp <= 8) read_palette(info, h, &s);
    *out = std::move(s);
    if (image_bytes) *image_bytes = size_t(stride * rows);
    return true;
}

}  // namespace gdi
