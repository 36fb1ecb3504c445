// The stock objects: brushes of five greys and none, the DC brush, and the default palette.
// Pens and fonts are not there: GetStockObject gives null for them.
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "core/trace.h"
#include "gdi/gdi_objects.h"
#include "gdi/system_palette.h"

namespace gdi {
namespace {

constexpr int kStockCount = DC_PEN + 1;

std::unique_ptr<Brush> stock_brush(UINT style, COLORREF colour) {
    auto brush = std::make_unique<Brush>();
    brush->style = style;
    brush->colour = colour;
    brush->stock = true;
    return brush;
}

std::unique_ptr<Palette> default_palette() {
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(default_palette_entries(), default_palette_entries() + kDefaultPaletteSize);
    palette->stock = true;
    return palette;
}

HGDIOBJ make_stock_object(int index) {
    switch (index) {
    case WHITE_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(255, 255, 255)));
    case LTGRAY_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(192, 192, 192)));
    case GRAY_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(128, 128, 128)));
    case DKGRAY_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(64, 64, 64)));
    case BLACK_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(0, 0, 0)));
    case NULL_BRUSH: return add_brush(stock_brush(BS_NULL, 0));
    case DC_BRUSH: return add_brush(stock_brush(BS_SOLID, RGB(255, 255, 255)));
    case DEFAULT_PALETTE: return add_palette(default_palette());
    }
    return nullptr;
}

struct StockObjects {
    HGDIOBJ handles[kStockCount] = {};
    size_t made = 0;
};

StockObjects &stock() {
    static StockObjects objects;
    return objects;
}

}  // namespace

HGDIOBJ stock_object(int index) {
    if (index < 0 || index >= kStockCount) return nullptr;
    StockObjects &s = stock();
    if (!s.handles[index] && (s.handles[index] = make_stock_object(index))) ++s.made;
    return s.handles[index];
}

bool is_stock_object(HGDIOBJ object) {
    switch (layer::Kind(layer::kind_of(object))) {
    case layer::Kind::Bitmap: return object == stock_bitmap();
    case layer::Kind::Brush: return find_brush(object) && find_brush(object)->stock;
    case layer::Kind::Palette: return find_palette(object) && find_palette(object)->stock;
    default: return false;
    }
}

size_t stock_objects_made() { return stock().made; }

}  // namespace gdi

extern "C" HGDIOBJ WINAPI GetStockObject(int index) try {
    HGDIOBJ object = gdi::stock_object(index);
    if (!object && index >= 0 && index < gdi::kStockCount) layer::unimplemented("stock pens and fonts");
    return object;
} OUT_OF_MEMORY_RETURNS(nullptr)
