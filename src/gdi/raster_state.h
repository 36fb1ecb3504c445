// What a device context keeps for its blits besides its surface and objects: the colours
// monochrome bitmaps take and where the brush's pattern starts.
#pragma once
#include <windows.h>

#include <cstdint>

namespace gdi {

// A COLORREF's red, green and blue as the engine's pixel 0x00RRGGBB.
inline uint32_t colour_of(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

struct RasterState {
    COLORREF text_colour = RGB(0, 0, 0);
    COLORREF background_colour = RGB(255, 255, 255);
    POINT brush_origin{0, 0};
};

}  // namespace gdi
