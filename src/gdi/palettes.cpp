// Logical palettes. The display has no palette of its own (32 bits), so realising one maps nothing.
#include <algorithm>
#include <climits>

#include "core/out_of_memory.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

// How many entries a call from start for count reaches: 0 past the palette's end.
UINT reach(const Palette &palette, UINT start, UINT count) {
    UINT size = UINT(palette.entries.size());
    return start >= size ? 0 : std::min(count, size - start);
}

int distance(const PALETTEENTRY &e, COLORREF c) {
    int dr = e.peRed - GetRValue(c), dg = e.peGreen - GetGValue(c), db = e.peBlue - GetBValue(c);
    return dr * dr + dg * dg + db * db;
}

}  // namespace

extern "C" {

HPALETTE WINAPI CreatePalette(const LOGPALETTE *logical) try {
    if (!logical || logical->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(logical->palPalEntry, logical->palPalEntry + logical->palNumEntries);
    return add_palette(std::move(palette));
} OUT_OF_MEMORY_RETURNS(nullptr)

// Any context takes a palette; the previous one comes back.
HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || !find_palette(palette)) return nullptr;
    HPALETTE previous = dc->palette;
    dc->palette = palette;
    return previous;
}

UINT WINAPI RealizePalette(HDC hdc) { return find_dc(hdc) ? 0 : GDI_ERROR; }

// With no buffer, the number of entries.
UINT WINAPI GetPaletteEntries(HPALETTE hpalette, UINT start, UINT count, LPPALETTEENTRY entries) {
    Palette *palette = find_palette(hpalette);
    if (!palette) return 0;
    if (!entries) return UINT(palette->entries.size());
    UINT n = reach(*palette, start, count);
    std::copy_n(palette->entries.begin() + start, n, entries);
    return n;
}

// The stock palette stays as it is.
UINT WINAPI SetPaletteEntries(HPALETTE hpalette, UINT start, UINT count, const PALETTEENTRY *entries) {
    Palette *palette = find_palette(hpalette);
    if (!palette || palette->stock || !entries) return 0;
    UINT n = reach(*palette, start, count);
    std::copy_n(entries, n, palette->entries.begin() + start);
    return n;
}

// The first of the nearest entries.
UINT WINAPI GetNearestPaletteIndex(HPALETTE hpalette, COLORREF color) {
    Palette *palette = find_palette(hpalette);
    if (!palette) return CLR_INVALID;
    auto nearest = std::min_element(palette->entries.begin(), palette->entries.end(),
                                    [color](const PALETTEENTRY &a, const PALETTEENTRY &b) { return distance(a, color) < distance(b, color); });
    return UINT(nearest - palette->entries.begin());
}

}  // extern "C"
