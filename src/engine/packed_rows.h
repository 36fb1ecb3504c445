// Pixels as their format stores them (an index, packed bit fields, or the 24 or 32 bits), for
// raster operations, which combine the bits of the destination's own pixel values.
#pragma once
#include <cstdint>

#include "engine/pixel_format.h"

namespace gdi {

// Colours 0xAARRGGBB -> the values the format would store for them.
void pack_row(const PixelFormat &format, const uint32_t *bgra, int count, uint32_t *packed);
// count stored values from column x of a row.
void load_packed(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *packed);
void store_packed(const PixelFormat &format, const uint32_t *packed, int count, uint8_t *row, int x);

}  // namespace gdi
