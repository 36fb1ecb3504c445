// The GDI objects behind HDC, HBITMAP, HPALETTE and HBRUSH handles, and their handle tables.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "gdi/pixel_memory.h"
#include "gdi/raster_state.h"
#include "engine/surface.h"

namespace gdi {

// What GetObject tells of a DIB section beyond its surface: its header as made (height made
// positive, biClrUsed the full table of 1, 4 and 8 bits), its masks and its mapping.
struct SectionRecord {
    BITMAPINFOHEADER header = {};
    DWORD masks[3] = {};
    HANDLE mapping = nullptr;
    DWORD offset = 0;
};

struct Bitmap {
    Surface surface;
    PixelMemory memory;
    bool dib_section = false;
    SectionRecord section;      // DIB sections only
    HDC selected_in = nullptr;  // the memory context it is selected into (never set for the stock bitmap)
};

// A logical palette.
struct Palette {
    std::vector<PALETTEENTRY> entries;
    bool stock = false;
};

// A brush: solid and hatched brushes paint their colour; pattern brushes their own copy of the
// pattern, which they keep whatever happens to the bitmap or memory it was made from.
struct Brush {
    UINT style = BS_SOLID;
    COLORREF colour = 0;
    std::unique_ptr<Bitmap> pattern;
    bool stock = false;
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

// The brush and palette selected into a context; the stock white brush or default palette once
// the selected one was deleted.
Brush &selected_brush(const DeviceContext &dc);
Palette &selected_palette(const DeviceContext &dc);

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
// GetStockObject's objects (WHITE_BRUSH ... DC_BRUSH), made on first use; null for others.
HGDIOBJ stock_object(int index);
// Stock objects of every kind, the stock bitmap included, are never deleted.
bool is_stock_object(HGDIOBJ object);
size_t stock_objects_made();

// Bytes per row of a device-dependent bitmap: rows are padded to 16 bits.
inline int ddb_stride(int width, int bpp) { return int((int64_t(width) * bpp + 15) / 16 * 2); }

// A device-dependent bitmap of 1, 4, 8, 16, 24 or 32 bits (by default the display's), top-down
// and zero-filled; null when memory is short.
std::unique_ptr<Bitmap> new_device_bitmap(int width, int height, int bpp = 32);

// The depth of bitmaps made compatible with a context: a memory context's selected bitmap is
// monochrome or of the display's depth, every other context is of the display's; no context
// (null) means monochrome.
int compatible_depth(HDC hdc);

// Fills bitmap->section for a section made from info on a mapping (or none) at offset.
void record_section(Bitmap *bitmap, const BITMAPINFO *info, HANDLE mapping, DWORD offset);

}  // namespace gdi
