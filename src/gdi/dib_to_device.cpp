// SetDIBitsToDevice and StretchDIBits: caller memory in DIB layout drawn on a device context.
//
// DIB coordinates: ySrc and scan lines count rows from the bottom of the picture, for bottom-up
// and top-down DIBs alike, except that a top-down DIB drawn by StretchDIBits at its own size counts
// ySrc from its top.
#include <algorithm>
#include <climits>

#include "core/out_of_memory.h"
#include "core/trace.h"
#include "engine/raster_blit.h"
#include "engine/rle.h"
#include "engine/stretch_geometry.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"
#include "gdi/raster_jobs.h"

namespace gdi {
namespace {

// A DIB as the caller hands it: a surface over its bits, or run-length encoded data.
struct CallerDib {
    Surface surface;
    int rle_bits = 0;  // 4 or 8 for BI_RLE4 and BI_RLE8 data
    const uint8_t *data = nullptr;
    size_t data_bytes = 0;
};

// What these two calls accept is dib_accepted's rule for them; run-length data is decoded as it
// is drawn. DIB_PAL_COLORS colours come from hdc's palette.
bool read_caller_dib(HDC hdc, const void *bits, const BITMAPINFO *info, UINT usage, CallerDib *dib) {
    DibHeader h;
    if (!bits || !read_dib_header(info, &h)) return false;
    if (!dib_accepted(info, h, usage, DibUse::ToDevice)) {
        if (h.run_length()) SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!dib_surface(info, h, usage, hdc, &dib->surface)) return false;
    dib->data = static_cast<const uint8_t *>(bits);
    if (h.run_length()) {
        dib->rle_bits = h.bpp;
        dib->data_bytes = h.image_bytes;
    } else {
        dib->surface.bits = const_cast<uint8_t *>(dib->data);
    }
    return true;
}

// Draws the coded pixels of RLE data, ROPs aside.
void draw_rle(const CallerDib &dib, const Span &src_x, const Span &src_y, const Surface &target, const Span &dst_x,
              const Span &dst_y, DWORD rop) {
    if (rop != SRCCOPY) layer::unimplemented("raster operations other than SRCCOPY on RLE DIBs");
    const Surface &s = dib.surface;
    RlePicture picture = decode_rle(dib.data, dib.data_bytes, dib.rle_bits, s.width, s.height);
    draw_coded(picture, *s.format, map_axis(dst_x, src_x, 0, target.width, s.width),
               map_axis(dst_y, src_y, 0, target.height, s.height), target);
}

// Rows counted from the bottom of a picture of `height` rows, as picture rows (0 = top).
Span from_bottom(int64_t height, int64_t y, int64_t rows) { return Span{height - y - rows, rows, false}; }

int clamp_to_int(DWORD value) { return int(std::min<DWORD>(value, INT_MAX)); }

}  // namespace
}  // namespace gdi

using namespace gdi;

extern "C" {

// Returns the DIB's number of rows. A zero destination size draws nothing and still succeeds;
// a zero source size, or a source height running down from ySrc, draws nothing and fails.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                         int srcWidth, int srcHeight, const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop) try {
    DeviceContext *dc = find_dc(hdc);
    Surface *target = dc ? surface_of(hdc) : nullptr;
    CallerDib dib;
    if (!target || !read_caller_dib(hdc, bits, info, usage, &dib)) return 0;
    const Surface &s = dib.surface;
    if (srcWidth == 0 || srcHeight <= 0) return 0;
    if (destWidth == 0 || destHeight == 0) return s.height;
    bool own_size = destWidth == srcWidth && destHeight == srcHeight;
    Span src_y = s.bottom_up || !own_size ? from_bottom(s.height, ySrc, srcHeight) : make_span(ySrc, srcHeight);
    Span src_x = make_span(xSrc, srcWidth), dst_x = make_span(xDest, destWidth), dst_y = make_span(yDest, destHeight);
    if (dib.rle_bits)
        draw_rle(dib, src_x, src_y, *target, dst_x, dst_y, rop);
    else
        blit_spans(s, src_x, src_y, *target, dst_x, dst_y, raster_job(*dc, rop));
    return s.height;
} OUT_OF_MEMORY_RETURNS(0)

// bits holds scan lines startScan .. startScan + lines - 1 of the DIB (bottom-up: from its first
// row; top-down: from its last). Returns, for a bottom-up DIB, how many of them exist up to the
// top of the source rectangle; for a top-down one, `lines`. RLE data holds the whole picture:
// startScan and lines are ignored unless lines is 0, and the DIB's height is returned.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                             UINT startScan, UINT lines, const void *bits, const BITMAPINFO *info, UINT usage) try {
    Surface *target = surface_of(hdc);
    CallerDib dib;
    if (!target || !read_caller_dib(hdc, bits, info, usage, &dib) || lines == 0) return 0;
    int w = clamp_to_int(width), h = clamp_to_int(height);
    Span src_x = make_span(xSrc, w), dst_x = make_span(xDest, w), dst_y = make_span(yDest, h);
    Surface band = dib.surface;
    if (dib.rle_bits) {
        draw_rle(dib, src_x, from_bottom(band.height, ySrc, h), *target, dst_x, dst_y, SRCCOPY);
        return band.height;
    }
    int64_t start = startScan, available = band.bottom_up ? std::max<int64_t>(0, band.height - start) : int64_t(lines);
    int64_t rows = std::min<int64_t>(lines, available);
    int copied = band.bottom_up ? int(std::max<int64_t>(0, std::min<int64_t>(start + rows, int64_t(ySrc) + h) - start))
                                : int(std::min<UINT>(lines, INT_MAX));
    if (rows == 0) return copied;
    band.height = int(std::min<int64_t>(rows, INT_MAX));
    blit_spans(band, src_x, from_bottom(start + band.height, ySrc, h), *target, dst_x, dst_y, RasterJob{});
    return copied;
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
