// What a COLORREF stands for on a context.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/surface.h"
#include "gdi/gdi_objects.h"

namespace gdi {

// The table index a DIBINDEX(n) colour names on a surface of 1, 4 or 8 bits: n, or 0 past the
// table's end. False for other colours and surfaces.
bool dib_index(const Surface &surface, COLORREF colour, unsigned *index);

// The colour 0xFFRRGGBB a COLORREF asks for on a context drawing on surface, by its top byte:
// 0x10 DIBINDEX(n), the entry dib_index names; 0x01
// PALETTEINDEX(n), entry n of the selected palette (entry 0 past its end); otherwise (RGB,
// PALETTERGB, DIBINDEX on a surface without a table) the colour of the low three bytes.
uint32_t colour_of(const DeviceContext &dc, const Surface &surface, COLORREF colour);

// The colour a pixel of colour bgra takes on the surface, as 0x00RRGGBB: the nearest entry of
// a colour table, a colour narrowed to the format's channels.
COLORREF nearest_colour(const Surface &surface, uint32_t bgra);

}  // namespace gdi
