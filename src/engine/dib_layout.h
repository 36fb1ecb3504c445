// The info block of a device-independent bitmap: a header, then bit masks or a colour table, as
// BMP files hold it and CreateDIBSection takes it. It is read byte-wise: a BMP file's block sits
// at offset 14, not 4-aligned. A 12-byte header is a core header; any header of 40 bytes or more is
// read as an info header (its first 40 bytes, the masks right after them), so that the later
// versions, the 64-byte OS/2 one and odd sizes read alike; other sizes are refused.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

namespace gdi {

enum DibCompression : uint32_t { kDibRgb = 0, kDibRle8 = 1, kDibRle4 = 2, kDibBitfields = 3 };

constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
// The masks and the largest colour table that a description may read after its header.
constexpr size_t kMaxTableBytes = 3 * 4 + 256 * 4;

// The header fields that matter, whichever header version holds them.
struct DibHeader {
    uint32_t size = 0;  // of the header: the colour table follows it
    int64_t width = 0;
    int64_t height = 0;  // negative for top-down rows
    int planes = 0;
    int bpp = 0;
    uint32_t compression = kDibRgb;
    uint32_t image_bytes = 0;  // as the header gives it, 0 when it does not
    uint32_t colours_used = 0;

    bool core() const { return size == kCoreHeaderBytes; }  // RGBTRIPLE colours follow
    int64_t rows() const { return height < 0 ? -height : height; }
    bool top_down() const { return height < 0; }
    bool run_length() const { return compression == kDibRle4 || compression == kDibRle8; }
    // DWORD-aligned bytes of one row.
    int64_t stride() const { return (width * bpp + 31) / 32 * 4; }
    // Entries of the colour table that follow the header or masks: biClrUsed of them when it is
    // set below 1 << bpp, else 1 << bpp; none above 8 bits.
    size_t table_entries() const;
};

// False for a header size that is neither a core header's nor 40 bytes or more.
bool read_dib_header(const uint8_t *block, DibHeader *out);

// The surface, without bits, that the header and the masks or colour table after it in the block
// describe; false for what CreateDIBSection rejects. image_bytes, when given, gets stride * rows.
bool describe_dib_layout(const DibHeader &header, const uint8_t *block, Surface *out, size_t *image_bytes);

}  // namespace gdi
