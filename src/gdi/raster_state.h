// What a device context keeps for its blits besides its surface: the colours monochrome bitmaps
// take, the selected brush and where its pattern starts.
#pragma once
#include <windows.h>

namespace gdi {

struct RasterState {
    COLORREF text_colour = RGB(0, 0, 0);
    COLORREF background_colour = RGB(255, 255, 255);
    HBRUSH brush = nullptr;  // null: the white brush every context starts with
    POINT brush_origin{0, 0};
};

}  // namespace gdi
