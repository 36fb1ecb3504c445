// Colour tables given as palette indices (DIB_PAL_COLORS), resolved through a context's palette.
#pragma once
#include <windows.h>

#include "engine/pixel_format.h"

namespace gdi {

// The colours count WORD indices stand for in the palette selected into hdc (the default palette
// without a context): index i is entry i modulo the palette's size.
void palette_colours(HDC hdc, const WORD *indices, int count, TableColour *out);

}  // namespace gdi
