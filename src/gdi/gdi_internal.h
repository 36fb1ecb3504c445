// What the rest of the layer (windows, GDI+) needs from the GDI module beyond the Win32 calls.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

namespace gdi {

// A device context on a window's backing surface (32-bit, top-down), clipped to the surface.
// The window module owns the surface, keeps the object at a stable address (its bits may be
// reallocated on resize) and outlives every device context it hands out.
HDC create_window_dc(Surface *surface);
BOOL release_window_dc(HDC hdc);

// The screen: a 32-bit top-down surface, black but for what windows show. USER registers the
// function that draws the shown window's client area at its place; it runs each time a screen
// context is made, so that the context reads what shows then. Its size is 1920 x 1080 unless
// set to the display's.
using ScreenComposer = void (*)(const Surface &screen);
void set_screen_composer(ScreenComposer composer);
void set_screen_size(int width, int height);
void screen_size(int *width, int *height);
// A context on the screen (GetDC(NULL), CreateDCA("DISPLAY")); release_screen_dc takes back
// only such a context.
HDC create_screen_dc();
BOOL release_screen_dc(HDC hdc);

// The surface a device context draws on (a window surface or the selected bitmap), or null.
Surface *surface_of(HDC hdc);

// Reads a BMP file's DIB description (BITMAPINFO with its colour table or masks) into a surface
// without bits: uncompressed formats of one plane. image_bytes gets stride * |height|.
bool describe_dib(const BITMAPINFO *info, Surface *out, size_t *image_bytes);

// Draws a top-down 0xAARRGGBB image at (x, y) of the context, blending by alpha when asked,
// clipped to the context's surface.
void draw_bgra(HDC hdc, int x, int y, const uint32_t *pixels, int width, int height, bool blend);

// Fills the part of rect that lies on the context's surface with one colour; false for a bad context.
bool fill_colour(HDC hdc, const RECT &rect, COLORREF colour);

// Live GDI objects (device contexts, bitmaps and brushes, stock objects excluded).
size_t live_objects();

}  // namespace gdi
