// GetDIBits: a bitmap's format, or its scan lines in the caller's format.
//
// Scan k counts from the bottom of the caller's picture, |biHeight| rows tall, which shares its
// top row with the bitmap: taller requests see zeros below the bitmap, shorter ones miss its
// bottom rows. A top-down buffer holds the highest scan asked for first.
#include <algorithm>
#include <climits>
#include <cstring>
#include <numeric>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "gdi/colour_forms.h"
#include "gdi/colour_tables.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_objects.h"
#include "gdi/system_palette.h"

namespace gdi {
namespace {

constexpr uint32_t kMasks888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};

uint8_t *bytes_of(BITMAPINFO *info) { return reinterpret_cast<uint8_t *>(info); }

DWORD dib_image_bytes(int width, int height, int bpp) { return DWORD((int64_t(width) * bpp + 31) / 32 * 4 * height); }

// A request without a bit count: the header takes the bitmap's own format; nothing after it changes.
void describe_bitmap(const Surface &source, BITMAPINFO *info, const DibHeader &h) {
    int bpp = source.format->bpp;
    if (h.core()) {
        BITMAPCOREHEADER core{12, WORD(source.width), WORD(source.height), 1, WORD(bpp)};
        std::memcpy(info, &core, sizeof core);
        return;
    }
    BITMAPINFOHEADER &b = info->bmiHeader;
    b.biWidth = source.width;
    b.biHeight = source.height;
    b.biPlanes = 1;
    b.biBitCount = WORD(bpp);
    b.biCompression = bpp == 16 || bpp == 32 ? BI_BITFIELDS : BI_RGB;
    b.biSizeImage = dib_image_bytes(source.width, source.height, bpp);
}

// A bitmap with a table of the size asked for hands out its own, black past its entries.
bool own_table(const PixelFormat &source, int bpp, UINT usage) { return source.bpp == bpp && usage == DIB_RGB_COLORS; }

// A bitmap without a table of that size hands out the device's table of that depth.
void output_table(const PixelFormat &source, int bpp, TableColour *out) {
    if (source.bpp != bpp) {
        device_colour_table(bpp, out);
        return;
    }
    for (int i = 0; i < 1 << bpp; ++i) out[i] = table_colour(source.palette[i]);
}

void write_table(const TableColour *colours, size_t count, bool core, uint8_t *table) {
    size_t entry_bytes = core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    for (size_t i = 0; i < count; ++i, table += entry_bytes) {
        const uint8_t entry[4] = {colours[i].blue, colours[i].green, colours[i].red, 0};
        std::memcpy(table, entry, entry_bytes);
    }
}

// Bit fields keep the bitmap's own masks when it has some of that size.
FormatRef output_masks(const PixelFormat &source, int bpp, uint8_t *at) {
    const uint32_t *masks = source.bpp == bpp && source.bitfields ? source.masks : bpp == 32 ? kMasks888 : kMasks565;
    std::memcpy(at, masks, 3 * sizeof(uint32_t));
    bool plain = bpp == 32 && std::equal(masks, masks + 3, kMasks888);
    return plain ? PixelFormat::direct(32) : PixelFormat::with_masks(bpp, masks);
}

// Writes what the requested format says besides the pixels (the size of the lines, the colour
// table or the masks) and returns the format the pixels take.
FormatRef describe_output(const Surface &source, BITMAPINFO *info, const DibHeader &h, UINT usage, HDC hdc) {
    if (!h.core()) {
        info->bmiHeader.biSizeImage = DWORD(h.stride() * h.rows());
        info->bmiHeader.biClrUsed = 0;
    }
    if (h.bpp > 8) {
        if (h.compression == BI_BITFIELDS) return output_masks(*source.format, h.bpp, bytes_of(info) + sizeof(BITMAPINFOHEADER));
        return PixelFormat::direct(h.bpp);
    }
    size_t count = size_t(1) << h.bpp;
    uint8_t *table = bytes_of(info) + h.size;
    TableColour colours[256];
    if (usage == DIB_PAL_COLORS) {
        uint16_t indices[256];
        std::iota(indices, indices + count, uint16_t(0));
        std::memcpy(table, indices, count * sizeof(uint16_t));
        palette_colours(hdc, indices, count, colours);
    } else {
        output_table(*source.format, h.bpp, colours);
        write_table(colours, count, h.core(), table);
    }
    return PixelFormat::indexed(h.bpp, colours, count);
}

// Clears the bytes of the first `rows` rows of a band that pixels do not wholly fill: the
// platform hands out rows padded with zeros.
void zero_padding(const Surface &band, int rows) {
    size_t whole = size_t(int64_t(band.width) * band.format->bpp / 8);
    for (int y = 0; y < rows; ++y) std::memset(band.row(y) + whole, 0, size_t(band.stride) - whole);
}

// Copies scans [start, start + lines) of the request, clipped to its height, and returns how
// many came from the bitmap; the scans below the bitmap's bottom row are zeroed. Lines of a
// bitmap's own table keep their indices: the bitmap is read through the table handed out.
int copy_scans(Surface source, const DibHeader &h, UINT usage, FormatRef format, UINT start, UINT lines, void *bits) {
    if (h.bpp <= 8 && own_table(*source.format, h.bpp, usage)) source.format = format;
    int64_t height = h.rows();
    int64_t end = std::min<int64_t>(int64_t(start) + lines, height);
    Surface band;  // scans start .. end - 1 of the request, as the buffer holds them
    band.bits = static_cast<uint8_t *>(bits);
    band.width = int(h.width);
    band.height = int(end - start);
    band.stride = int(h.stride());
    band.bottom_up = !h.top_down();
    band.format = std::move(format);
    // Scan k of the request is the bitmap's row k - below from the bottom; band row end - 1 - k.
    int64_t below = height - source.height;
    for (int64_t k = start; k < std::min(below, end); ++k) std::memset(band.row(int(end - 1 - k)), 0, size_t(band.stride));
    int64_t copied = end - std::max<int64_t>(start, below);
    if (copied <= 0) return 0;
    zero_padding(band, int(copied));
    copy_pixels(source, 0, int(height - end), band, 0, 0, std::min(band.width, source.width), int(copied));
    return int(copied);
}

}  // namespace
}  // namespace gdi

using namespace gdi;

extern "C" {

// With no bit count and no lines to copy, describes the bitmap's format (returns its height).
// With no buffer, or no lines, writes the requested format's line size and table or masks
// (returns 1). Otherwise copies lines too and returns how many came from the bitmap (1 when
// the first scan lies above the request).
int WINAPI GetDIBits(HDC hdc, HBITMAP hbitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) try {
    if (!hdc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Bitmap *bitmap = find_dc(hdc) ? find_bitmap(hbitmap) : nullptr;
    DibHeader h;
    if (!bitmap || !read_dib_header(info, &h)) return 0;
    DibUse use = !bits ? DibUse::GetBitsSize : lines == 0 ? DibUse::GetBitsInfo : DibUse::GetBits;
    if (!dib_accepted(info, h, usage, use)) return 0;
    const Surface &source = bitmap->surface;
    if (h.bpp == 0) {
        describe_bitmap(source, info, h);
        return source.height;
    }
    if (h.stride() * h.rows() > INT_MAX) return 0;
    FormatRef format = describe_output(source, info, h, usage, hdc);
    if (use != DibUse::GetBits || start >= h.rows()) return 1;
    return copy_scans(source, h, usage, std::move(format), start, lines, bits);
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
