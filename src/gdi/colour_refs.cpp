#include "gdi/colour_refs.h"

#include "engine/pixel_access.h"
#include "engine/row_codecs.h"
#include "gdi/colour_forms.h"

namespace gdi {
namespace {

constexpr uint32_t kDibIndex = 0x10;
constexpr uint32_t kPaletteIndex = 0x01;

uint32_t bgra_of(const PALETTEENTRY &e) { return pixel::kOpaque | uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue; }

}  // namespace

bool dib_index(const Surface &surface, COLORREF colour, unsigned *index) {
    int bpp = surface.format->bpp;
    if (colour >> 24 != kDibIndex || bpp > 8) return false;
    *index = (colour & 0xFFFF) < (1u << bpp) ? colour & 0xFFFF : 0;
    return true;
}

uint32_t colour_of(const DeviceContext &dc, const Surface &surface, COLORREF colour) {
    unsigned index = 0;
    if (dib_index(surface, colour, &index)) return surface.format->palette[index];
    if (colour >> 24 == kPaletteIndex) {
        const std::vector<PALETTEENTRY> &entries = selected_palette(dc).entries;
        index = colour & 0xFFFF;
        return bgra_of(entries[index < entries.size() ? index : 0]);
    }
    return pixel::kOpaque | colour_of(colour);
}

// Written to one pixel of the surface's format and read back.
COLORREF nearest_colour(const Surface &surface, uint32_t bgra) {
    const PixelFormat &format = *surface.format;
    uint8_t pixel[4] = {};
    writer_for(format)(format, &bgra, 1, pixel, 0);
    uint32_t stored = read_pixel(format, pixel, 0);
    return colorref_of(stored);
}

}  // namespace gdi
