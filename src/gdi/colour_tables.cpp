// The colour tables of DIB sections (GetDIBColorTable, SetDIBColorTable) and DIB_PAL_COLORS tables.
#include "gdi/colour_tables.h"

#include <algorithm>
#include <cstring>

#include "core/out_of_memory.h"
#include "gdi/colour_forms.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

// The indexed DIB section selected into a memory context, or null.
Bitmap *indexed_section(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    Bitmap *bitmap = dc && !dc->on_window() ? find_bitmap(dc->bitmap) : nullptr;
    return bitmap && bitmap->dib_section && bitmap->surface.format->bpp <= 8 ? bitmap : nullptr;
}

// How many of a table's entries a call from start for count reaches: 0 past the table's end.
UINT reach(const PixelFormat &format, UINT start, UINT count) {
    UINT size = 1u << format.bpp;
    return start >= size ? 0 : std::min(count, size - start);
}

}  // namespace

void palette_colours(HDC hdc, const WORD *indices, int count, TableColour *out) {
    DeviceContext *dc = hdc ? find_dc(hdc) : nullptr;
    const std::vector<PALETTEENTRY> &entries =
        dc ? selected_palette(*dc).entries : find_palette(stock_object(DEFAULT_PALETTE))->entries;
    for (int i = 0; i < count; ++i) {
        const PALETTEENTRY &e = entries[indices[i] % entries.size()];
        out[i] = table_colour(e);
    }
}

}  // namespace gdi

using namespace gdi;

extern "C" {

// The entries come with rgbReserved 0; 0 for a context without an indexed DIB section.
UINT WINAPI GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD *colors) {
    Bitmap *section = indexed_section(hdc);
    if (!section || !colors) return 0;
    const PixelFormat &format = *section->surface.format;
    UINT n = reach(format, start, count);
    for (UINT i = 0; i < n; ++i) {
        TableColour c = table_colour(format.palette[start + i]);
        colors[i] = RGBQUAD{c.blue, c.green, c.red, 0};
    }
    return n;
}

// The section's pixels keep their indices and show the new colours.
UINT WINAPI SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD *colors) try {
    Bitmap *section = indexed_section(hdc);
    if (!section || !colors) return 0;
    const PixelFormat &format = *section->surface.format;
    UINT n = reach(format, start, count);
    if (n == 0) return 0;
    TableColour table[256];
    for (int i = 0; i < (1 << format.bpp); ++i) table[i] = table_colour(format.palette[i]);
    for (UINT i = 0; i < n; ++i) table[start + i] = TableColour{colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0};
    size_t used = std::max(size_t(format.palette_size), size_t(start + n));
    section->surface.format = PixelFormat::indexed(format.bpp, table, used);
    return n;
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
