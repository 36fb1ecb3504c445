// A pixel format, prepared once when its surface is described, so that neither the row readers
// and writers nor single-pixel calls decide or build anything per call or per pixel.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace gdi {

// A colour-table entry as DIBs store it.
struct TableColour {
    uint8_t blue, green, red, unused;
};

struct PixelFormat;
// Surfaces refer to their format, which never changes once built.
using FormatRef = std::shared_ptr<const PixelFormat>;

struct PixelFormat {
    int bpp = 32;            // 1, 4, 8, 16, 24 or 32
    bool bitfields = false;  // 16 bpp, and 32 bpp with masks: the two tables below are used
    bool has_alpha = false;  // plain 32 bpp only: the top byte is straight alpha (GDI+ images)
    // Bit fields: byte k of a pixel -> its share of 0x00RRGGBB. Expansion commutes with OR-ing
    // disjoint bits, so a pixel reads as the OR of its bytes' shares.
    uint32_t from_bytes[4][256] = {};
    // Bit fields: an 8-bit red, green or blue value -> its top bits under the channel's mask.
    uint32_t to_fields[3][256] = {};
    uint32_t masks[3] = {};      // bit fields: the red, green and blue masks they were built from
    uint32_t palette[256] = {};  // 0x00RRGGBB; entries past the table stay black
    int palette_size = 0;

    // 24 or 32 bits of 8-8-8 (a 32-bit pixel's top byte passes through), or 16 bits of 5-5-5.
    static FormatRef direct(int bpp);
    // Plain 32 bits whose top byte is straight alpha.
    static FormatRef with_alpha();
    // 16 or 32 bits with masks for red, green and blue.
    static FormatRef with_masks(int bpp, const uint32_t masks[3]);
    // 1, 4 or 8 bits indexing a colour table; entries past its capacity are ignored.
    static FormatRef indexed(int bpp, const TableColour *colours, size_t count);
};

// Nearest palette entry to a colour, for writing into 1, 4 and 8 bpp surfaces.
uint8_t nearest_index(const PixelFormat &format, uint32_t bgra);

}  // namespace gdi
