// What a device context keeps for its blits besides its surface and objects: the colours
// monochrome bitmaps take and where the brush's pattern starts.
#pragma once
#include <windows.h>

namespace gdi {

struct RasterState {
    COLORREF text_colour = RGB(0, 0, 0);
    COLORREF background_colour = RGB(255, 255, 255);
    POINT brush_origin{0, 0};
};

}  // namespace gdi
