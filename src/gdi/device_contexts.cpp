// Device contexts: memory contexts with their selected bitmap, and contexts on window surfaces.
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "gdi/brushes.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

DeviceContext *memory_dc(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    if (dc && dc->on_window()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return dc;
}

}  // namespace

HDC create_window_dc(Surface *surface) {
    if (!surface) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->window_surface = surface;
    return add_dc(std::move(dc));
}

BOOL release_window_dc(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || !dc->on_window()) return FALSE;
    remove_dc(hdc);
    return TRUE;
}

}  // namespace gdi

using namespace gdi;

extern "C" {

// The context made is a memory context whatever hdc is; a null hdc is allowed.
HDC WINAPI CreateCompatibleDC(HDC hdc) try {
    if (hdc && !find_dc(hdc)) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->bitmap = stock_bitmap();
    return add_dc(std::move(dc));
} OUT_OF_MEMORY_RETURNS(nullptr)

// The selected bitmap is let go, so that it can be selected elsewhere or deleted. Window
// contexts are released, not deleted; screen contexts may be either.
BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || (dc->on_window() && !dc->screen)) return FALSE;
    if (Bitmap *bitmap = find_bitmap(dc->bitmap)) bitmap->selected_in = nullptr;
    remove_dc(hdc);
    return TRUE;
}

// Only bitmaps, into memory contexts; a bitmap selected in one context cannot go into another.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object) {
    if (layer::kind_of(object) == uint32_t(layer::Kind::Brush)) {
        DeviceContext *any = find_dc(hdc);
        return any ? select_brush(*any, object) : nullptr;
    }
    DeviceContext *dc = memory_dc(hdc);
    Bitmap *bitmap = dc ? find_bitmap(object) : nullptr;
    if (!bitmap) return nullptr;
    bool stock = object == stock_bitmap();
    if (!stock && bitmap->selected_in && bitmap->selected_in != hdc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ previous = dc->bitmap;
    if (Bitmap *old = find_bitmap(previous)) old->selected_in = nullptr;
    bitmap->selected_in = stock ? nullptr : hdc;
    dc->bitmap = static_cast<HBITMAP>(object);
    selection_changed();
    return previous;
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
    if (layer::kind_of(object) == uint32_t(layer::Kind::Bitmap)) return find_bitmap(object) ? OBJ_BITMAP : 0;
    if (layer::kind_of(object) == uint32_t(layer::Kind::Brush)) return find_brush(object) ? OBJ_BRUSH : 0;
    DeviceContext *dc = find_dc(static_cast<HDC>(object));
    return !dc ? 0 : dc->on_window() ? OBJ_DC : OBJ_MEMDC;
}

// Every mode samples the nearest source pixel; the mode is kept for the caller to read back.
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    int previous = dc->stretch_mode;
    dc->stretch_mode = mode;
    return previous;
}

int WINAPI GetStretchBltMode(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    return dc ? dc->stretch_mode : 0;
}

}  // extern "C"
