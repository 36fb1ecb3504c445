// Reading a BITMAPINFO into a surface description. A 12-byte header is a core header; any header
// of 40 bytes or more is read as an info header (its first 40 bytes, the masks right after them),
// so that the later versions, the 64-byte OS/2 one and odd sizes load alike; other sizes are refused.
#include <climits>
#include <cstring>
#include <utility>

#include "gdi/gdi_internal.h"

namespace gdi {
namespace {

constexpr DWORD kCoreHeader = 12;

bool readable_header(DWORD size) { return size == kCoreHeader || size >= sizeof(BITMAPINFOHEADER); }

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

bool read_masks(const BITMAPINFO *info, int bpp, FormatRef *out) {
    const uint8_t *base = reinterpret_cast<const uint8_t *>(info);
    const uint8_t *fields = base + sizeof(BITMAPINFOHEADER);  // after a 40-byte header, or inside a larger one
    uint32_t masks[3];
    for (int i = 0; i < 3; ++i) {
        masks[i] = dword_at(fields + 4 * i);
        if (!masks[i]) return false;
    }
    *out = PixelFormat::with_masks(bpp, masks);
    return true;
}

FormatRef read_palette(const BITMAPINFO *info, const DibHeader &h) {
    size_t limit = size_t(1) << h.bpp;
    size_t count = h.colours_used && h.colours_used < limit ? h.colours_used : limit;
    const uint8_t *table = reinterpret_cast<const uint8_t *>(info) + header_bytes(info);
    TableColour colours[256];
    size_t entry_bytes = header_bytes(info) == kCoreHeader ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    for (size_t i = 0; i < count; ++i, table += entry_bytes) colours[i] = TableColour{table[0], table[1], table[2], 0};
    return PixelFormat::indexed(h.bpp, colours, count);
}

}  // namespace

bool dib_dimensions(const BITMAPINFOHEADER *header, int64_t *width, int64_t *height) {
    const auto *info = reinterpret_cast<const BITMAPINFO *>(header);
    if (!readable_header(header_bytes(info))) return false;
    DibHeader h = read_header(info);
    *width = h.width;
    *height = h.height;
    return true;
}

bool describe_dib(const BITMAPINFO *info, Surface *out, size_t *image_bytes) {
    if (!info || !readable_header(header_bytes(info))) return false;
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
    if (bitfields) {
        if (!read_masks(info, h.bpp, &s.format)) return false;
    } else {
        s.format = h.bpp <= 8 ? read_palette(info, h) : PixelFormat::direct(h.bpp);
    }
    *out = std::move(s);
    if (image_bytes) *image_bytes = size_t(stride * rows);
    return true;
}

}  // namespace gdi
