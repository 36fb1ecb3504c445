// Brushes of one colour and of patterns made from packed DIBs or bitmaps.
#include "gdi/brushes.h"

#include "core/out_of_memory.h"
#include "core/trace.h"
#include "engine/blit_engine.h"
#include "gdi/colour_forms.h"
#include "gdi/gdi_internal.h"
#include "gdi/packed_dib.h"

namespace gdi {
namespace {

// A brush painting a copy of a picture in its own format.
HBRUSH pattern_brush(UINT style, const Surface &picture) {
    auto brush = std::make_unique<Brush>();
    brush->style = style;
    brush->pattern = std::make_unique<Bitmap>();
    Surface &copy = brush->pattern->surface;
    copy = picture;
    copy.bottom_up = false;
    brush->pattern->memory = PixelMemory::zeroed(size_t(copy.stride) * size_t(copy.height));
    if (!brush->pattern->memory) return nullptr;
    copy.bits = brush->pattern->memory.bits();
    copy_pixels(picture, 0, 0, copy, 0, 0, copy.width, copy.height);
    return add_brush(std::move(brush));
}

}  // namespace

HGDIOBJ select_brush(DeviceContext &dc, HGDIOBJ object) {
    if (!find_brush(object)) return nullptr;
    HGDIOBJ previous = dc.brush;
    dc.brush = static_cast<HBRUSH>(object);
    return previous;
}

Pattern selected_pattern(const DeviceContext &dc) {
    const Brush *brush = dc.brush ? find_brush(dc.brush) : nullptr;
    if (!brush) return Pattern{0xFFFFFF, nullptr};
    if (brush->pattern) return Pattern{0, &brush->pattern->surface};
    return Pattern{colour_of(brush->colour), nullptr};
}

}  // namespace gdi

using namespace gdi;

extern "C" {

HBRUSH WINAPI CreateSolidBrush(COLORREF color) try {
    auto brush = std::make_unique<Brush>();
    brush->colour = color & 0xFFFFFF;
    return add_brush(std::move(brush));
} OUT_OF_MEMORY_RETURNS(nullptr)

// The pattern is the DIB's picture; 32-bit pixels keep their top byte, other formats get 0 there.
HBRUSH WINAPI CreateDIBPatternBrushPt(const void *packed, UINT usage) try {
    const auto *info = static_cast<const BITMAPINFO *>(packed);
    Surface dib;
    if (usage == DIB_PAL_COLORS) layer::unimplemented("palette-index colour tables (DIB_PAL_COLORS) in pattern brushes");
    if (!packed || usage != DIB_RGB_COLORS || !describe_dib(info, &dib, nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    dib.bits = const_cast<uint8_t *>(static_cast<const uint8_t *>(packed) + description_bytes(info));
    return pattern_brush(BS_DIBPATTERNPT, dib);
} OUT_OF_MEMORY_RETURNS(nullptr)

// The pattern is the bitmap's pixels as they are now.
HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap) try {
    Bitmap *source = find_bitmap(bitmap);
    return source ? pattern_brush(BS_PATTERN, source->surface) : nullptr;
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
