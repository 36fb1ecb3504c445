// SetDIBits: scan lines in the caller's format into a bitmap.
//
// Scan k counts from the bottom of the caller's picture, |biHeight| rows tall, which shares its
// top row with the bitmap; scans that fall outside the bitmap are dropped. A bottom-up buffer
// holds scan start first, a top-down one scan start + lines - 1.
#include <algorithm>

#include "core/out_of_memory.h"
#include "core/trace.h"
#include "engine/blit_engine.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_objects.h"

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
    if (h.run_length()) {
        layer::unimplemented("SetDIBits with run-length encoded pixels");
        return 0;
    }
    Surface band;
    if (!dib_surface(info, h, usage, hdc, &band)) return 0;
    const Surface &target = bitmap->surface;
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
