// Brushes: solid colours and patterns, from packed DIBs or bitmaps.
#include "gdi/brushes.h"

#include <cstring>

#include "core/handles.h"
#include "core/out_of_memory.h"
#include "engine/row_codecs.h"
#include "gdi/gdi_internal.h"

namespace gdi {
namespace {

struct Brush {
    Pattern pattern;
};

layer::HandleTable<Brush> &brushes() {
    static layer::HandleTable<Brush> table(layer::Kind::Brush);
    return table;
}

HBRUSH add_brush(Pattern pattern) {
    auto brush = std::make_unique<Brush>();
    brush->pattern = std::move(pattern);
    return static_cast<HBRUSH>(brushes().add(std::move(brush)));
}

uint32_t colour_of(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

// All of a surface's pixels, top row first.
Pattern pattern_of(const Surface &s) {
    Pattern p;
    p.width = s.width;
    p.height = s.height;
    p.pixels.resize(size_t(s.width) * size_t(s.height));
    RowReader read = reader_for(*s.format);
    for (int y = 0; y < s.height; ++y) read(*s.format, s.row(y), 0, s.width, p.pixels.data() + size_t(y) * size_t(s.width));
    return p;
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

const Pattern &white() {
    static const Pattern kWhite = Pattern::solid(0xFFFFFF);
    return kWhite;
}

}  // namespace

bool is_brush(HGDIOBJ object) { return brushes().get(object) != nullptr; }

HGDIOBJ select_brush(DeviceContext &dc, HGDIOBJ object) {
    if (!is_brush(object)) return nullptr;
    HGDIOBJ previous = dc.raster.brush;
    dc.raster.brush = static_cast<HBRUSH>(object);
    return previous;
}

bool delete_brush(HGDIOBJ object) { return brushes().remove(object) != nullptr; }

size_t live_brushes() { return brushes().live(); }

const Pattern &selected_pattern(const DeviceContext &dc) {
    const Brush *brush = brushes().get(dc.raster.brush);
    return brush ? brush->pattern : white();
}

}  // namespace gdi

using namespace gdi;

extern "C" {

HBRUSH WINAPI CreateSolidBrush(COLORREF color) try {
    return add_brush(Pattern::solid(colour_of(color)));
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
    return add_brush(pattern_of(dib));
} OUT_OF_MEMORY_RETURNS(nullptr)

// The pattern is the bitmap's pixels as they are now.
HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap) try {
    Bitmap *source = find_bitmap(bitmap);
    return source ? add_brush(pattern_of(source->surface)) : nullptr;
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
