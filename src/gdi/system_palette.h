// The system's fixed colours: the default palette, and the colour tables of device-dependent
// bitmaps of 1, 4 and 8 bits (which GetDIBits also gives for sources without a table).
#pragma once
#include <windows.h>

#include "engine/pixel_format.h"

namespace gdi {

constexpr int kDefaultPaletteSize = 20;
const PALETTEENTRY *default_palette_entries();

// Fills the table of that depth (1, 4 or 8) and returns its size, 1 << bpp.
int device_colour_table(int bpp, TableColour *out);

// The pixel format of a device-dependent bitmap of 1, 4, 8, 16, 24 or 32 bits.
FormatRef ddb_format(int bpp);

}  // namespace gdi
