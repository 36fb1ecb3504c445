#include "gdi/system_palette.h"

#include "gdi/colour_forms.h"

namespace gdi {
namespace {

constexpr PALETTEENTRY kDefaultPalette[kDefaultPaletteSize] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xc0, 0xc0, 0xc0, 0},
    {0xc0, 0xdc, 0xc0, 0}, {0xa6, 0xca, 0xf0, 0}, {0xff, 0xfb, 0xf0, 0}, {0xa0, 0xa0, 0xa4, 0},
    {0x80, 0x80, 0x80, 0}, {0xff, 0x00, 0x00, 0}, {0x00, 0xff, 0x00, 0}, {0xff, 0xff, 0x00, 0},
    {0x00, 0x00, 0xff, 0}, {0xff, 0x00, 0xff, 0}, {0x00, 0xff, 0xff, 0}, {0xff, 0xff, 0xff, 0},
};

// The 16 colours in VGA order: the default palette's first half, its grey 12, then its second half.
constexpr int kSixteenColours[16] = {0, 1, 2, 3, 4, 5, 6, 12, 7, 13, 14, 15, 16, 17, 18, 19};

// 256 colours: the default palette's halves at both ends, a 3-3-2 colour cube between them.
TableColour colour_of_256(int i) {
    if (i < kDefaultPaletteSize / 2) return table_colour(kDefaultPalette[i]);
    if (i >= 256 - kDefaultPaletteSize / 2) return table_colour(kDefaultPalette[i - 256 + kDefaultPaletteSize]);
    return TableColour{uint8_t(i & 0xc0), uint8_t((i & 0x38) << 2), uint8_t((i & 7) << 5), 0};
}

FormatRef indexed_ddb_format(int bpp) {
    TableColour table[256];
    int count = device_colour_table(bpp, table);
    return PixelFormat::indexed(bpp, table, size_t(count));
}

}  // namespace

const PALETTEENTRY *default_palette_entries() { return kDefaultPalette; }

int device_colour_table(int bpp, TableColour *out) {
    int count = 1 << bpp;
    for (int i = 0; i < count; ++i) {
        switch (bpp) {
        case 1: out[i] = i ? TableColour{255, 255, 255, 0} : TableColour{0, 0, 0, 0}; break;
        case 4: out[i] = table_colour(kDefaultPalette[kSixteenColours[i]]); break;
        default: out[i] = colour_of_256(i); break;
        }
    }
    return count;
}

FormatRef ddb_format(int bpp) {
    static const FormatRef kMono = indexed_ddb_format(1), kSixteen = indexed_ddb_format(4),
                           k256 = indexed_ddb_format(8);
    switch (bpp) {
    case 1: return kMono;
    case 4: return kSixteen;
    case 8: return k256;
    default: return PixelFormat::direct(bpp);
    }
}

}  // namespace gdi
