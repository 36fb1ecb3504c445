#include "gdi/gdi_objects.h"

#include "core/handles.h"
#include "gdi/gdi_internal.h"

namespace gdi {
namespace {

layer::HandleTable<DeviceContext> &dcs() {
    static layer::HandleTable<DeviceContext> table(layer::Kind::DeviceContext);
    return table;
}

layer::HandleTable<Bitmap> &bitmaps() {
    static layer::HandleTable<Bitmap> table(layer::Kind::Bitmap);
    return table;
}

layer::HandleTable<Palette> &palettes() {
    static layer::HandleTable<Palette> table(layer::Kind::Palette);
    return table;
}

layer::HandleTable<Brush> &brushes() {
    static layer::HandleTable<Brush> table(layer::Kind::Brush);
    return table;
}

HBITMAP stock_handle = nullptr;

// Counts removals and selections: a context resolved to a surface stays resolved until then.
uint64_t changes = 0;

template <class T>
T *found(T *object) {
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

std::unique_ptr<Bitmap> make_stock_bitmap() {
    auto bitmap = std::make_unique<Bitmap>();
    Surface &s = bitmap->surface;
    s.width = s.height = 1;
    s.stride = 4;
    const TableColour black_and_white[] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    s.format = PixelFormat::indexed(1, black_and_white, 2);
    bitmap->memory = PixelMemory::zeroed(4);  // its one pixel is black
    s.bits = bitmap->memory.bits();
    return bitmap;
}

}  // namespace

DeviceContext *find_dc(HDC hdc) { return found(dcs().get(hdc)); }
Bitmap *find_bitmap(HGDIOBJ object) { return found(bitmaps().get(object)); }
Palette *find_palette(HGDIOBJ object) { return found(palettes().get(object)); }
Brush *find_brush(HGDIOBJ object) { return found(brushes().get(object)); }

HDC add_dc(std::unique_ptr<DeviceContext> dc) { return static_cast<HDC>(dcs().add(std::move(dc))); }
void remove_dc(HDC hdc) {
    dcs().remove(hdc);
    ++changes;
}
HBITMAP add_bitmap(std::unique_ptr<Bitmap> bitmap) { return static_cast<HBITMAP>(bitmaps().add(std::move(bitmap))); }
void remove_bitmap(HGDIOBJ bitmap) {
    bitmaps().remove(bitmap);
    ++changes;
}

HPALETTE add_palette(std::unique_ptr<Palette> palette) {
    return static_cast<HPALETTE>(palettes().add(std::move(palette)));
}
void remove_palette(HGDIOBJ palette) { palettes().remove(palette); }
HBRUSH add_brush(std::unique_ptr<Brush> brush) { return static_cast<HBRUSH>(brushes().add(std::move(brush))); }
void remove_brush(HGDIOBJ brush) { brushes().remove(brush); }

void selection_changed() { ++changes; }

HBITMAP stock_bitmap() {
    if (!stock_handle) stock_handle = add_bitmap(make_stock_bitmap());
    return stock_handle;
}

std::unique_ptr<Bitmap> new_device_bitmap(int width, int height) {
    auto bitmap = std::make_unique<Bitmap>();
    Surface &s = bitmap->surface;
    s.width = width;
    s.height = height;
    s.stride = width * 4;
    bitmap->memory = PixelMemory::zeroed(size_t(s.stride) * size_t(height));
    if (!bitmap->memory) return nullptr;
    s.bits = bitmap->memory.bits();
    return bitmap;
}

// GetPixel calls this once per pixel, mostly on one context in a row: the last answer is kept
// until a context or bitmap goes away or a selection changes.
Surface *surface_of(HDC hdc) {
    static HDC last_hdc = nullptr;
    static Surface *last_surface = nullptr;
    static uint64_t last_changes = 0;
    if (hdc == last_hdc && changes == last_changes && hdc) return last_surface;
    DeviceContext *dc = find_dc(hdc);
    if (!dc) return nullptr;
    Bitmap *bitmap = dc->on_window() ? nullptr : find_bitmap(dc->bitmap);
    Surface *surface = dc->on_window() ? dc->window_surface : bitmap ? &bitmap->surface : nullptr;
    last_hdc = hdc;
    last_surface = surface;
    last_changes = changes;
    return surface;
}

size_t live_objects() {
    return dcs().live() + bitmaps().live() + palettes().live() + brushes().live() - (stock_handle ? 1 : 0);
}

}  // namespace gdi
