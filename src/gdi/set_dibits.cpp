// SetDIBits: scan lines in the caller's format into a bitmap.
//
// Scan k counts from the bottom of the caller's picture, |biHeight| rows tall, which shares its
// top row with the bitmap; scans that fall outside the bitmap are dropped. A bottom-up buffer
// holds scan start first, a top-down one scan start + lines - 1.
#include <algorithm>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "engine/rle.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

// Run-length data codes the whole picture, whatever the lines given; the pixels it codes land
// where plain scans would, the others keep theirs.
void set_coded(const uint8_t *data, const DibHeader &h, const PixelFormat &format, const Surface &target) {
    RlePicture picture = decode_rle(data, h.image_bytes, h.bpp, int(h.width), int(h.rows()));
    AxisMap columns, rows;
    for (int x = 0; x < std::min(picture.width, target.width); ++x) columns.source.push_back(x);
    for (int y = 0; y < std::min(picture.height, target.height); ++y) rows.source.push_back(y);
    draw_coded(picture, format, columns, rows, target);
}

}  // namespace
}  // namespace gdi

using namespace gdi;

extern "C" {

// Returns the number of lines given, however many of them land in the bitmap. A null hdc is
// enough for RGB colours; palette indices are looked up in hdc's palette.
int WINAPI SetDIBits(HDC hdc, HBITMAP hbitmap, UINT start, UINT lines, const void *bits, const BITMAPINFO *info,
                     UINT usage) try {
    if (hdc && !find_dc(hdc)) return 0;
    Bitmap *bitmap = find_bitmap(hbitmap);
    DibHeader h;
    if (!bitmap || !bits || !read_dib_header(info, &h) || !dib_accepted(info, h, usage, DibUse::SetBits)) return 0;
    Surface band;
    if (!dib_surface(info, h, usage, hdc, &band)) return 0;
    const Surface &target = bitmap->surface;
    if (h.run_length()) {
        set_coded(static_cast<const uint8_t *>(bits), h, *band.format, target);
        return int(lines);
    }
    // Scan k lands on the bitmap's picture row height - 1 - k, which exists for k in [first, end).
    int64_t height = h.rows(), last = int64_t(start) + lines;
    int64_t first = std::max<int64_t>(start, height - target.height), end = std::min(last, height);
    if (first < end) {
        int64_t buffer_row = h.top_down() ? last - end : first - start;  // of the band's first memory row
        band.bits = static_cast<uint8_t *>(const_cast<void *>(bits)) + buffer_row * band.stride;
        band.height = int(end - first);
        copy_pixels(band, 0, 0, target, 0, int(height - end), std::min(band.width, target.width), band.height);
    }
    return int(lines);
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
