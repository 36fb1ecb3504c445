// Transfers between caller memory in DIB layout and device contexts or bitmaps.
//
// DIB coordinates: in a bottom-up DIB, y and scan lines count from the bottom row, so ySrc 0
// with height 1 is the picture's bottom row; in a top-down DIB they count from the top.
#include <algorithm>
#include <climits>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "engine/stretch_geometry.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

// A source row span in DIB coordinates, turned into picture rows (0 = top).
Span picture_rows(const Surface &dib, int y, int height) {
    Span rows = make_span(y, height);
    if (dib.bottom_up) rows.begin = dib.height - (rows.begin + rows.length);
    return rows;
}

// Draws the src rectangle of a DIB into the dst rectangle of a surface, nearest neighbour.
void transfer(const Surface &src, const Span &src_x, const Span &src_y, const Surface &dst, const Span &dst_x,
              const Span &dst_y) {
    AxisMap columns = map_axis(dst_x, src_x, 0, dst.width, src.width);
    AxisMap rows = map_axis(dst_y, src_y, 0, dst.height, src.height);
    if (columns.source.empty() || rows.source.empty()) return;
    if (is_shift(columns) && is_shift(rows))
        copy_pixels(src, columns.source[0], rows.source[0], dst, columns.first, rows.first,
                    int(columns.source.size()), int(rows.source.size()));
    else
        stretch_pixels(src, columns, rows, dst);
}

// The caller's DIB as a surface over its bits; false when the header is not one the engine takes.
bool caller_dib(HDC hdc, const void *bits, const BITMAPINFO *info, UINT usage, Surface *dib) {
    if (!bits || !describe_caller_dib(info, usage, hdc, DibUse::ToDevice, dib)) return false;
    dib->bits = static_cast<uint8_t *>(const_cast<void *>(bits));
    return true;
}

int clamp_to_int(DWORD value) { return int(std::min<DWORD>(value, INT_MAX)); }

}  // namespace
}  // namespace gdi

using namespace gdi;

extern "C" {

// Returns the DIB's number of rows; a zero destination size draws nothing and still succeeds,
// a zero source size draws nothing and fails.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                         int srcWidth, int srcHeight, const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop) try {
    Surface *target = surface_of(hdc);
    Surface dib;
    if (!target || rop != SRCCOPY || !caller_dib(hdc, bits, info, usage, &dib)) return 0;
    if (srcWidth == 0 || srcHeight == 0) return 0;
    if (destWidth == 0 || destHeight == 0) return dib.height;
    transfer(dib, make_span(xSrc, srcWidth), picture_rows(dib, ySrc, srcHeight), *target, make_span(xDest, destWidth),
             make_span(yDest, destHeight));
    return dib.height;
} OUT_OF_MEMORY_RETURNS(0)

// bits holds scan lines startScan .. startScan + lines - 1 of the DIB; returns how many of them
// exist in the DIB.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                             UINT startScan, UINT lines, const void *bits, const BITMAPINFO *info, UINT usage) try {
    Surface *target = surface_of(hdc);
    Surface band;
    if (!target || !caller_dib(hdc, bits, info, usage, &band) || startScan >= UINT(band.height)) return 0;
    band.height = int(std::min<UINT>(lines, UINT(band.height) - startScan));
    if (band.height == 0) return 0;
    int w = clamp_to_int(width), h = clamp_to_int(height);
    transfer(band, make_span(xSrc, w), picture_rows(band, int(int64_t(ySrc) - startScan), h), *target,
             make_span(xDest, w), make_span(yDest, h));
    return band.height;
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
