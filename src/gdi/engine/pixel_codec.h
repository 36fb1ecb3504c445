// A surface's pixel format prepared once per call, so that the row readers and writers never
// decide anything per pixel.
#pragma once
#include <cstdint>
#include <vector>

#include "gdi/engine/surface.h"

namespace gdi {

// One bit-field channel: where it sits and how its values scale to 8 bits and back.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;              // lowest bit of the part of the mask that is read
    std::vector<uint8_t> to8;   // read value -> round(v * 255 / max)
    uint32_t from8[256] = {};   // 8-bit value -> its nearest channel value, already under the mask
};

struct PixelCodec {
    int bpp = 32;
    bool bitfields = false;  // 16 bpp and 32 bpp with masks (16 bpp without masks is 5-5-5)
    Channel channels[3];     // red, green, blue
    uint32_t palette[256] = {};  // 0xFFRRGGBB; entries past the table stay black
    int palette_size = 0;
};

PixelCodec make_codec(const Surface &surface);

// Nearest palette entry to a colour, for writing into 1, 4 and 8 bpp surfaces.
uint8_t nearest_index(const PixelCodec &codec, uint32_t bgra);

}  // namespace gdi
