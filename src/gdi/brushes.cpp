// Brushes of one colour and of patterns made from packed DIBs or bitmaps.
#include "gdi/brushes.h"

#include <cstring>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"

namespace gdi {
namespace {

uint32_t colour_of(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

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

// Where the pixels of a packed DIB start: after the header, its masks and its colour table.
size_t pixel_offset(const BITMAPINFO *info, const Surface &s) {
    DWORD header = 0;
    std::memcpy(&header, info, sizeof header);
    if (header == sizeof(BITMAPCOREHEADER)) return header + (s.format->bpp <= 8 ? sizeof(RGBTRIPLE) << s.format->bpp : 0);
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    size_t masks = h.biCompression == BI_BITFIELDS && header == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    size_t colours = 0;
    if (h.biBitCount <= 8) colours = h.biClrUsed && h.biClrUsed < (1u << h.biBitCount) ? h.biClrUsed : 1u << h.biBitCount;
    return header + masks + colours * sizeof(RGBQUAD);
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
    if (!packed || usage != DIB_RGB_COLORS || !describe_dib(info, &dib, nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    dib.bits = const_cast<uint8_t *>(static_cast<const uint8_t *>(packed) + pixel_offset(info, dib));
    return pattern_brush(BS_DIBPATTERNPT, dib);
} OUT_OF_MEMORY_RETURNS(nullptr)

// The pattern is the bitmap's pixels as they are now.
HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap) try {
    Bitmap *source = find_bitmap(bitmap);
    return source ? pattern_brush(BS_PATTERN, source->surface) : nullptr;
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
