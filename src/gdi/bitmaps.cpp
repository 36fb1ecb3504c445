// Bitmaps: DIB sections, device-dependent bitmaps, their deletion and description.
#include <climits>
#include <cstddef>
#include <cstring>

#include "core/faults.h"
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

HBITMAP fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// The size of the bitmap a DIB header describes, within 32-bit pixel memory.
bool header_size(const BITMAPINFOHEADER *header, int *width, int *height) {
    int64_t w = 0, h = 0;
    if (!dib_dimensions(header, &w, &h)) return false;
    if (h < 0) h = -h;
    if (w <= 0 || h <= 0 || w * h > INT_MAX / 4) return false;
    *width = int(w);
    *height = int(h);
    return true;
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                DWORD offset) try {
    if (bits) *bits = nullptr;
    if ((hdc && !find_dc(hdc)) || usage != DIB_RGB_COLORS) return fail(ERROR_INVALID_PARAMETER);
    if (layer::injected_fault("CreateDIBSection")) return fail(ERROR_NOT_ENOUGH_MEMORY);
    auto bitmap = std::make_unique<Bitmap>();
    size_t bytes = 0;
    if (!describe_dib(info, &bitmap->surface, &bytes)) return fail(ERROR_INVALID_PARAMETER);
    bitmap->memory = section ? PixelMemory::mapped(section, offset, bytes) : PixelMemory::zeroed(bytes);
    if (!bitmap->memory) return nullptr;
    bitmap->surface.bits = bitmap->memory.bits();
    bitmap->dib_section = true;
    void *pixels = bitmap->surface.bits;
    HBITMAP handle = add_bitmap(std::move(bitmap));
    if (!handle) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (bits) *bits = pixels;
    return handle;
} OUT_OF_MEMORY_RETURNS(nullptr)

// The bitmap is stored 32 bits per pixel, the display's format.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                              const BITMAPINFO *info, UINT usage) try {
    int width = 0, height = 0;
    if ((hdc && !find_dc(hdc)) || !header || !header_size(header, &width, &height)) return fail(ERROR_INVALID_PARAMETER);
    Surface source;
    bool initialise = init & CBM_INIT;
    if (initialise && (!bits || usage != DIB_RGB_COLORS || !describe_dib(info, &source, nullptr)))
        return fail(ERROR_INVALID_PARAMETER);
    std::unique_ptr<Bitmap> bitmap = new_device_bitmap(width, height);
    if (!bitmap) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (initialise) {
        source.bits = static_cast<uint8_t *>(const_cast<void *>(bits));
        copy_pixels(source, 0, 0, bitmap->surface, 0, 0, std::min(width, source.width), std::min(height, source.height));
    }
    return add_bitmap(std::move(bitmap));
} OUT_OF_MEMORY_RETURNS(nullptr)

// A zero width or height gives the 1 x 1 monochrome stock bitmap, as on the platform.
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) try {
    if (!find_dc(hdc)) return nullptr;
    if (width == 0 || height == 0) return stock_bitmap();
    if (width < 0 || height < 0 || int64_t(width) * height > INT_MAX / 4) return fail(ERROR_INVALID_PARAMETER);
    std::unique_ptr<Bitmap> bitmap = new_device_bitmap(width, height);
    return bitmap ? add_bitmap(std::move(bitmap)) : fail(ERROR_NOT_ENOUGH_MEMORY);
} OUT_OF_MEMORY_RETURNS(nullptr)

// Fails for a bitmap still selected into a context; deleting the stock bitmap does nothing.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    if (layer::kind_of(object) == uint32_t(layer::Kind::Stock)) return TRUE;
    if (layer::kind_of(object) == uint32_t(layer::Kind::Brush)) {
        if (!find_brush(object)) return FALSE;
        remove_brush(object);
        return TRUE;
    }
    Bitmap *bitmap = find_bitmap(object);
    if (!bitmap || bitmap->selected_in) return FALSE;
    if (object != stock_bitmap()) remove_bitmap(object);
    return TRUE;
}

// Fills a BITMAP record. A buffer that stops short of bmBits (24 bytes, the record's size on
// the 32-bit platform, where the pointer is 4 bytes) gets everything but the pointer.
int WINAPI GetObjectA(HANDLE object, int size, LPVOID out) {
    Bitmap *bitmap = find_bitmap(object);
    if (!bitmap) return 0;
    if (!out) return int(sizeof(BITMAP));
    if (size < int(offsetof(BITMAP, bmBits))) return 0;
    const Surface &s = bitmap->surface;
    BITMAP record{};
    record.bmWidth = s.width;
    record.bmHeight = s.height;
    record.bmWidthBytes = s.stride;
    record.bmPlanes = 1;
    record.bmBitsPixel = WORD(s.format->bpp);
    record.bmBits = bitmap->dib_section ? s.bits : nullptr;
    size_t bytes = std::min(size_t(size), sizeof record);
    std::memcpy(out, &record, bytes);
    return int(bytes);
}

}  // extern "C"
