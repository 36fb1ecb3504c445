// Colour tables given as palette indices (DIB_PAL_COLORS), resolved through a context's palette.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "engine/pixel_format.h"

namespace gdi {

// The colours count WORD indices stand for in the palette selected into hdc (the default palette
// without a context): index i is entry i modulo the palette's size.
void palette_colours(HDC hdc, const WORD *indices, int count, TableColour *out);

// A DIB header of 1, 4 or 8 bits with a DIB_PAL_COLORS table, as a header with an RGBQUAD table
// of the colours it stands for (a core header becomes an info header), built in storage: what
// describe_dib reads. Other headers come back as they are, null as null.
const BITMAPINFO *rgb_colour_info(HDC hdc, const BITMAPINFO *info, std::vector<uint8_t> *storage);

}  // namespace gdi
