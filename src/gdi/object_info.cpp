// What GDI objects tell of themselves (GetObject, GetObjectType, GetCurrentObject), and their
// deletion.
#include <cstring>

#include "core/handles.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

// A buffer that stops short of bmBits (24 bytes, the record's size on the 32-bit platform,
// where the pointer is 4 bytes) gets everything but the pointer; one of a DIBSECTION or more
// gets the whole section record.
int bitmap_info(const Bitmap &bitmap, int size, void *out) {
    if (!out) return int(sizeof(BITMAP));
    if (size < int(offsetof(BITMAP, bmBits))) return 0;
    const Surface &s = bitmap.surface;
    DIBSECTION record{};
    record.dsBm.bmWidth = s.width;
    record.dsBm.bmHeight = s.height;
    record.dsBm.bmWidthBytes = s.stride;
    record.dsBm.bmPlanes = 1;
    record.dsBm.bmBitsPixel = WORD(s.format->bpp);
    record.dsBm.bmBits = bitmap.dib_section ? s.bits : nullptr;
    size_t bytes = std::min(size_t(size), sizeof(BITMAP));
    if (bitmap.dib_section && size_t(size) >= sizeof(DIBSECTION)) {
        record.dsBmih = bitmap.section.header;
        std::memcpy(record.dsBitfields, bitmap.section.masks, sizeof record.dsBitfields);
        record.dshSection = bitmap.section.mapping;
        record.dsOffset = bitmap.section.offset;
        bytes = sizeof(DIBSECTION);
    }
    std::memcpy(out, &record, bytes);
    return int(bytes);
}

// A palette tells its number of entries, as a WORD.
int palette_info(const Palette &palette, int size, void *out) {
    if (!out) return int(sizeof(WORD));
    if (size < int(sizeof(WORD))) return 0;
    WORD count = WORD(palette.entries.size());
    std::memcpy(out, &count, sizeof count);
    return int(sizeof count);
}

int brush_info(const Brush &brush, int size, void *out) {
    if (!out) return int(sizeof(LOGBRUSH));
    if (size < int(sizeof(LOGBRUSH))) return 0;
    LOGBRUSH record{brush.style, brush.colour, 0};
    std::memcpy(out, &record, sizeof record);
    return int(sizeof record);
}

// A brush or palette deleted while selected leaves its context with the stock one of its kind
// (selected_brush, selected_palette).
bool delete_brush_or_palette(HGDIOBJ object) {
    if (Brush *brush = find_brush(object)) {
        if (!brush->stock) remove_brush(object);
        return true;
    }
    Palette *palette = find_palette(object);
    if (!palette) return false;
    if (!palette->stock) remove_palette(object);
    return true;
}

// The masks a section of 16 or 32 bits reads its pixels with: those its header gives after its
// first 40 bytes, or the plain format's.
void section_masks(const BITMAPINFO *info, const BITMAPINFOHEADER &h, DWORD *masks) {
    static const DWORD kPlain16[3] = {0x7C00, 0x03E0, 0x001F}, kPlain32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    const void *given = reinterpret_cast<const uint8_t *>(info) + sizeof(BITMAPINFOHEADER);
    if (h.biCompression == BI_BITFIELDS)
        std::memcpy(masks, given, 3 * sizeof(DWORD));
    else if (h.biBitCount == 16 || h.biBitCount == 32)
        std::memcpy(masks, h.biBitCount == 16 ? kPlain16 : kPlain32, 3 * sizeof(DWORD));
}

}  // namespace

namespace gdi {

void record_section(Bitmap *bitmap, const BITMAPINFO *info, HANDLE mapping, DWORD offset) {
    const Surface &s = bitmap->surface;
    const PixelFormat &format = *s.format;
    BITMAPINFOHEADER &h = bitmap->section.header;
    h = BITMAPINFOHEADER{};
    if (info->bmiHeader.biSize >= sizeof(BITMAPINFOHEADER)) std::memcpy(&h, info, sizeof h);
    h.biSize = sizeof h;
    h.biWidth = s.width;
    h.biHeight = s.height;
    h.biPlanes = 1;
    h.biBitCount = WORD(format.bpp);
    h.biCompression = h.biCompression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = DWORD(s.stride) * DWORD(s.height);
    h.biClrUsed = format.bpp <= 8 ? 1u << format.bpp : 0;
    h.biClrImportant = 0;
    section_masks(info, h, bitmap->section.masks);
    bitmap->section.mapping = mapping;
    bitmap->section.offset = offset;
}

}  // namespace gdi

extern "C" {

int WINAPI GetObjectA(HANDLE object, int size, LPVOID out) {
    switch (layer::Kind(layer::kind_of(object))) {
    case layer::Kind::Bitmap:
        if (Bitmap *bitmap = find_bitmap(object)) return bitmap_info(*bitmap, size, out);
        return 0;
    case layer::Kind::Palette:
        if (Palette *palette = find_palette(object)) return palette_info(*palette, size, out);
        return 0;
    case layer::Kind::Brush:
        if (Brush *brush = find_brush(object)) return brush_info(*brush, size, out);
        return 0;
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
    }
}

// The records GDI objects fill hold no strings: both forms are one.
int WINAPI GetObjectW(HANDLE object, int size, LPVOID out) { return GetObjectA(object, size, out); }

DWORD WINAPI GetObjectType(HGDIOBJ object) {
    switch (layer::Kind(layer::kind_of(object))) {
    case layer::Kind::Bitmap: return find_bitmap(object) ? OBJ_BITMAP : 0;
    case layer::Kind::Palette: return find_palette(object) ? OBJ_PAL : 0;
    case layer::Kind::Brush: return find_brush(object) ? OBJ_BRUSH : 0;
    case layer::Kind::DeviceContext: {
        DeviceContext *dc = find_dc(static_cast<HDC>(object));
        return !dc ? 0 : dc->on_window() ? OBJ_DC : OBJ_MEMDC;
    }
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
    }
}

// Window and screen contexts hold no bitmap; pens and fonts are not kept.
HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_BITMAP: return dc->on_window() ? nullptr : dc->bitmap;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_PAL: return dc->palette;
    }
    return nullptr;
}

// Fails for a bitmap still selected into a context; deleting a stock object does nothing.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    switch (layer::Kind(layer::kind_of(object))) {
    case layer::Kind::Stock: return TRUE;
    case layer::Kind::Bitmap: {
        Bitmap *bitmap = find_bitmap(object);
        if (!bitmap || bitmap->selected_in) return FALSE;
        if (object != stock_bitmap()) remove_bitmap(object);
        return TRUE;
    }
    case layer::Kind::Brush:
    case layer::Kind::Palette: return delete_brush_or_palette(object);
    default: SetLastError(ERROR_INVALID_HANDLE); return FALSE;
    }
}

}  // extern "C"
