// The colours and brush origin of a device context.
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

// Returns the previous colour, or CLR_INVALID for a bad context.
COLORREF exchange(HDC hdc, COLORREF RasterState::*field, COLORREF color) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->raster.*field;
    dc->raster.*field = color;
    return previous;
}

COLORREF current(HDC hdc, COLORREF RasterState::*field) {
    DeviceContext *dc = find_dc(hdc);
    return dc ? dc->raster.*field : CLR_INVALID;
}

}  // namespace

extern "C" {

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) { return exchange(hdc, &RasterState::text_colour, color); }
COLORREF WINAPI GetTextColor(HDC hdc) { return current(hdc, &RasterState::text_colour); }
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) { return exchange(hdc, &RasterState::background_colour, color); }
COLORREF WINAPI GetBkColor(HDC hdc) { return current(hdc, &RasterState::background_colour); }

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->raster.brush_origin;
    dc->raster.brush_origin = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT origin) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || !origin) return FALSE;
    *origin = dc->raster.brush_origin;
    return TRUE;
}

}  // extern "C"
