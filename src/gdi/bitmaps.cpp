// Bitmaps: device-dependent bitmaps, their deletion and description.
#include <climits>
#include <cstddef>
#include <cstring>

#include "core/handles.h"
#include "core/out_of_memory.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

HBITMAP fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

extern "C" {

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
