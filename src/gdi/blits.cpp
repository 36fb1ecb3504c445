// BitBlt, StretchBlt, PatBlt, and the drawing and filling entry points the rest of the layer
// uses.
#include <algorithm>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "engine/box.h"
#include "engine/pixel_access.h"
#include "engine/raster_blit.h"
#include "engine/stretch_geometry.h"
#include "engine/rop3.h"
#include "engine/row_codecs.h"
#include "gdi/colour_forms.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"
#include "gdi/raster_jobs.h"

namespace gdi {
namespace {

constexpr uint32_t kBlack = 0;

Box bounds(const Surface &s) { return Box{0, 0, s.width, s.height}; }

// Fills the part of `area` that lies outside `inner` (a box within it, or empty): up to four strips.
void fill_outside(const Surface &target, const Box &area, const Box &inner, uint32_t bgra) {
    if (area.empty()) return;
    if (inner.empty()) {
        fill_pixels(target, int(area.left), int(area.top), area.width(), area.height(), bgra);
        return;
    }
    const Box strips[] = {
        {area.left, area.top, area.right, inner.top},
        {area.left, inner.bottom, area.right, area.bottom},
        {area.left, inner.top, inner.left, inner.bottom},
        {inner.right, inner.top, area.right, inner.bottom},
    };
    for (const Box &strip : strips)
        if (!strip.empty()) fill_pixels(target, int(strip.left), int(strip.top), strip.width(), strip.height(), bgra);
}

// Applies an operation that reads no source to the part of `area` on the target.
void fill_box(const DeviceContext &dc, const Surface &target, const Box &area, DWORD rop) {
    Box drawn = area.intersect(bounds(target));
    if (!drawn.empty()) raster_fill(target, int(drawn.left), int(drawn.top), drawn.width(), drawn.height(), raster_job(dc, rop));
}

// The box a span pair covers.
Box span_box(const Span &x, const Span &y) { return Box::sized(x.begin, y.begin, x.length, y.length); }

}  // namespace

void draw_bgra(HDC hdc, int x, int y, const uint32_t *pixels, int width, int height, bool blend) {
    Surface *target = surface_of(hdc);
    if (!target || !pixels || width <= 0 || height <= 0) return;
    Box area = Box::sized(x, y, width, height);
    Box drawn = area.intersect(bounds(*target));
    if (drawn.empty()) return;
    const uint32_t *first = pixels + (drawn.top - area.top) * width + (drawn.left - area.left);
    draw_pixels(first, width, *target, int(drawn.left), int(drawn.top), drawn.width(), drawn.height(), blend);
}

bool fill_colour(HDC hdc, const RECT &rect, COLORREF colour) {
    Surface *s = surface_of(hdc);
    if (!s) return false;
    Box area = Box{rect.left, rect.top, rect.right, rect.bottom}.intersect(bounds(*s));
    if (!area.empty())
        fill_pixels(*s, int(area.left), int(area.top), area.width(), area.height(), colour_of(colour));
    return true;
}

}  // namespace gdi

using namespace gdi;

extern "C" {

// Source pixels outside a memory context's bitmap are black for SRCCOPY. Source pixels outside a
// window's client area leave the destination unchanged: a window has nothing to show there, and
// the program copies such a grab back onto the window, which then stays as it was. Other
// operations draw only where the source exists; those that read no source need no source context.
BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) try {
    DeviceContext *target_dc = find_dc(dest);
    Surface *target = target_dc ? surface_of(dest) : nullptr;
    if (!target) return FALSE;
    bool reads_source = rop3_uses_source(rop3_index(rop));
    DeviceContext *source_dc = reads_source ? find_dc(src) : nullptr;
    Surface *source = source_dc ? surface_of(src) : nullptr;
    if (reads_source && !source) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    if (!reads_source) {
        fill_box(*target_dc, *target, Box::sized(x, y, width, height), rop);
        return TRUE;
    }
    RasterJob job = raster_job(*target_dc, rop);
    Surface seen = blit_source(*source, *source_dc, *target_dc, *target, &job);
    if (rop != SRCCOPY || job.to_mono) {
        job.merge = Merge::None;
        blit_spans(seen, make_span(xSrc, width), make_span(ySrc, height), *target, make_span(x, width),
                   make_span(y, height), job);
        return TRUE;
    }
    Box clipped = Box::sized(x, y, width, height).intersect(bounds(*target));
    int64_t dx = int64_t(x) - xSrc, dy = int64_t(y) - ySrc;  // source to destination
    Box covered = clipped.intersect(bounds(seen).moved(dx, dy));
    if (!covered.empty())
        copy_pixels(seen, int(covered.left - dx), int(covered.top - dy), *target, int(covered.left), int(covered.top),
                    covered.width(), covered.height());
    // After the copy, so that a copy within one bitmap reads its source before anything is filled.
    if (!source_dc->on_window()) fill_outside(*target, clipped, covered, kBlack);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

// A negative size mirrors that axis (see map_axis); the stretch mode of dest merges what shrinking
// drops. Shrinking a source running forwards to one pixel takes one source pixel fewer.
BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, DWORD rop) try {
    if ((width == 1 || width == -1) && srcWidth > 1) --srcWidth;
    if ((height == 1 || height == -1) && srcHeight > 1) --srcHeight;
    DeviceContext *target_dc = find_dc(dest);
    Surface *target = target_dc ? surface_of(dest) : nullptr;
    if (!target) return FALSE;
    if (!rop3_uses_source(rop3_index(rop))) {
        fill_box(*target_dc, *target, span_box(make_span(x, width), make_span(y, height)), rop);
        return TRUE;
    }
    DeviceContext *source_dc = find_dc(src);
    Surface *source = source_dc ? surface_of(src) : nullptr;
    if (!source) return FALSE;
    RasterJob job = raster_job(*target_dc, rop);
    Surface seen = blit_source(*source, *source_dc, *target_dc, *target, &job);
    blit_spans(seen, make_span(xSrc, srcWidth), make_span(ySrc, srcHeight), *target, make_span(x, width),
               make_span(y, height), job);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

// Operations on the brush and the destination only; a negative size extends left or up from (x, y).
BOOL WINAPI PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) try {
    DeviceContext *dc = find_dc(hdc);
    Surface *target = dc ? surface_of(hdc) : nullptr;
    if (!target || rop3_uses_source(rop3_index(rop))) return FALSE;
    Box area = Box::sized(x, y, width, height);
    fill_box(*dc, *target, Box{std::min(area.left, area.right), std::min(area.top, area.bottom),
                               std::max(area.left, area.right), std::max(area.top, area.bottom)}, rop);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

}  // extern "C"
