// The GDI objects behind HDC, HBITMAP, HPALETTE and HBRUSH handles, and their handle tables.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "gdi/pixel_memory.h"
#include "gdi/raster_state.h"
#include "engine/surface.h"

namespace gdi {

struct Bitmap {
    Surface surface;
    PixelMemory memory;
    bool dib_section = false;
    HDC selected_in = nullptr;  // the memory context it is selected into (never set for the stock bitmap)
};

// A logical palette.
struct Palette {
    std::vector<PALETTEENTRY> entries;
};

// A brush: solid and hatched brushes paint their colour; pattern brushes their own copy of the
// pattern, which they keep whatever happens to the bitmap or memory it was made from.
struct Brush {
    UINT style = BS_SOLID;
    COLORREF colour = 0;
    std::unique_ptr<Bitmap> pattern;
};

struct DeviceContext {
    Surface *window_surface = nullptr;  // window and screen contexts: the surface they draw on
    bool screen = false;                // a context on the whole screen
    HBITMAP bitmap = nullptr;           // memory contexts: the selected bitmap
    HBRUSH brush = nullptr;             // the selected brush and palette
    HPALETTE palette = nullptr;
    int stretch_mode = BLACKONWHITE;
    RasterState raster;
    bool on_window() const { return window_surface != nullptr; }
};

// Lookups set ERROR_INVALID_HANDLE when the handle is not a live object of that kind.
DeviceContext *find_dc(HDC hdc);
Bitmap *find_bitmap(HGDIOBJ object);
Palette *find_palette(HGDIOBJ object);
Brush *find_brush(HGDIOBJ object);

HDC add_dc(std::unique_ptr<DeviceContext> dc);
void remove_dc(HDC hdc);
HBITMAP add_bitmap(std::unique_ptr<Bitmap> bitmap);
void remove_bitmap(HGDIOBJ bitmap);
HPALETTE add_palette(std::unique_ptr<Palette> palette);
void remove_palette(HGDIOBJ palette);
HBRUSH add_brush(std::unique_ptr<Brush> brush);
void remove_brush(HGDIOBJ brush);
// To be called whenever a memory context's selected bitmap changes.
void selection_changed();

// The 1 x 1 monochrome bitmap every memory context starts with; shared and never deleted.
HBITMAP stock_bitmap();

// A bitmap of the display's format (32-bit, top-down), zero-filled; null when memory is short.
std::unique_ptr<Bitmap> new_device_bitmap(int width, int height);

}  // namespace gdi
