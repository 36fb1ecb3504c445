// Single pixels, and the colour a context would give one.
#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "engine/pixel_access.h"
#include "gdi/colour_forms.h"
#include "gdi/colour_refs.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

bool inside(const Surface &s, int x, int y) { return x >= 0 && y >= 0 && x < s.width && y < s.height; }

// The surface of a context with the pixel (x, y) on it, or null.
Surface *surface_at(HDC hdc, int x, int y) {
    Surface *s = surface_of(hdc);
    return s && inside(*s, x, y) ? s : nullptr;
}

}  // namespace

extern "C" {

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Surface *s = surface_at(hdc, x, y);
    return s ? colorref_of(read_pixel(*s->format, s->row(y), x)) : CLR_INVALID;
}

// Returns the colour the pixel took: the nearest a colour table has, or a narrow format rounded
// to. DIBINDEX colours set the index they name.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) try {
    Surface *s = surface_at(hdc, x, y);
    if (!s) return CLR_INVALID;
    unsigned index = 0;
    if (dib_index(*s, color, &index))
        write_index(*s->format, s->row(y), x, index);
    else
        fill_pixels(*s, x, y, 1, 1, colour_of(*find_dc(hdc), *s, color));
    return GetPixel(hdc, x, y);
} OUT_OF_MEMORY_RETURNS(CLR_INVALID)

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

// A DIBINDEX colour is the entry it names.
COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
    Surface *s = surface_of(hdc);
    if (!s) return CLR_INVALID;
    uint32_t colour = colour_of(*find_dc(hdc), *s, color);
    unsigned index = 0;
    return dib_index(*s, color, &index) ? colorref_of(colour) : nearest_colour(*s, colour);
}

}  // extern "C"
