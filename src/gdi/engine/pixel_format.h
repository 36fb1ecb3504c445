// A pixel format, prepared once when its surface is described, so that neither the row readers
// and writers nor single-pixel calls decide or build anything per call or per pixel.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace gdi {

// One bit-field channel: where its bits sit and how they expand to 8 bits and pack back.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;             // lowest of the channel's top 8 bits (all of them when narrower), which are read
    uint8_t to8[256] = {};     // those bits at the top of a byte, repeated once below themselves
    uint32_t from8[256] = {};  // 8-bit value -> its top bits, placed under the mask
};

struct PixelFormat {
    int bpp = 32;                // 1, 4, 8, 16, 24 or 32
    bool bitfields = false;      // 16 bpp, and 32 bpp with masks: the channels below are used
    bool has_alpha = false;      // plain 32 bpp only: the top byte is straight alpha (GDI+ images)
    Channel channels[3];         // red, green, blue
    uint32_t palette[256] = {};  // 0xFFRRGGBB; entries past the table stay black
    int palette_size = 0;

    // 24 or 32 bits of 8-8-8 (a 32-bit pixel's top byte passes through), or 16 bits of 5-5-5.
    static PixelFormat direct(int bpp);
    // 16 or 32 bits with masks for red, green and blue, none of them zero.
    static PixelFormat with_masks(int bpp, const uint32_t masks[3]);
    // 1, 4 or 8 bits indexing a colour table; entries past its capacity are ignored.
    static PixelFormat indexed(int bpp, const RGBQUAD *colours, size_t count);
};

// Nearest palette entry to a colour, for writing into 1, 4 and 8 bpp surfaces.
uint8_t nearest_index(const PixelFormat &format, uint32_t bgra);

}  // namespace gdi
