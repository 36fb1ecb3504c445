// BitBlt, and the drawing and filling entry points the rest of the layer uses.

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "engine/box.h"
#include "engine/pixel_access.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

using pixel::kOpaque;
constexpr uint32_t kBlack = kOpaque;

Box bounds(const Surface &s) { return Box{0, 0, s.width, s.height}; }

uint32_t bgra_from_colorref(COLORREF c) { return kOpaque | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

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
        fill_pixels(*s, int(area.left), int(area.top), area.width(), area.height(), bgra_from_colorref(colour));
    return true;
}

}  // namespace gdi

using namespace gdi;

extern "C" {

// SRCCOPY only. Source pixels outside a memory context's bitmap are black. Source pixels outside
// a window's client area leave the destination unchanged: a window has nothing to show there,
// and the program copies such a grab back onto the window, which then stays as it was.
BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) try {
    DeviceContext *source_dc = find_dc(src);
    Surface *target = surface_of(dest);
    Surface *source = source_dc ? surface_of(src) : nullptr;
    if (!target || !source || rop != SRCCOPY) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    Box clipped = Box::sized(x, y, width, height).intersect(bounds(*target));
    int64_t dx = int64_t(x) - xSrc, dy = int64_t(y) - ySrc;  // source to destination
    Box covered = clipped.intersect(bounds(*source).moved(dx, dy));
    if (!covered.empty())
        copy_pixels(*source, int(covered.left - dx), int(covered.top - dy), *target, int(covered.left),
                    int(covered.top), covered.width(), covered.height());
    // After the copy, so that a copy within one bitmap reads its source before anything is filled.
    if (!source_dc->on_window()) fill_outside(*target, clipped, covered, kBlack);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

}  // extern "C"
