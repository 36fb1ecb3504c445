// One colour in the forms GDI passes around: a COLORREF, a palette entry, a colour-table entry and
// the engine's pixel 0x00RRGGBB.
#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/pixel_format.h"

namespace gdi {

// A COLORREF's red, green and blue as the engine's pixel 0x00RRGGBB.
inline uint32_t colour_of(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

inline COLORREF colorref_of(uint32_t bgra) { return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF); }

inline TableColour table_colour(uint32_t bgra) {
    return TableColour{uint8_t(bgra), uint8_t(bgra >> 8), uint8_t(bgra >> 16), 0};
}

inline TableColour table_colour(const PALETTEENTRY &e) { return TableColour{e.peBlue, e.peGreen, e.peRed, 0}; }

}  // namespace gdi
