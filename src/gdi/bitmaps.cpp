// Bitmaps made from DIBs: DIB sections, and device-dependent bitmaps initialised from a DIB.
#include <climits>
#include <cstddef>
#include <cstring>
#include <vector>

#include "core/faults.h"
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"
#include "gdi/colour_tables.h"
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
    if ((hdc && !find_dc(hdc)) || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return fail(ERROR_INVALID_PARAMETER);
    if (layer::injected_fault("CreateDIBSection")) return fail(ERROR_NOT_ENOUGH_MEMORY);
    auto bitmap = std::make_unique<Bitmap>();
    size_t bytes = 0;
    std::vector<uint8_t> with_colours;
    if (usage == DIB_PAL_COLORS) info = rgb_colour_info(hdc, info, &with_colours);
    if (!info || !describe_dib(info, &bitmap->surface, &bytes)) return fail(ERROR_INVALID_PARAMETER);
    bitmap->memory = section ? PixelMemory::mapped(section, offset, bytes) : PixelMemory::zeroed(bytes);
    if (!bitmap->memory) return nullptr;
    bitmap->surface.bits = bitmap->memory.bits();
    bitmap->dib_section = true;
    record_section(bitmap.get(), info, section, offset);
    void *pixels = bitmap->surface.bits;
    HBITMAP handle = add_bitmap(std::move(bitmap));
    if (!handle) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (bits) *bits = pixels;
    return handle;
} OUT_OF_MEMORY_RETURNS(nullptr)

// The bitmap has the depth of bitmaps compatible with the context.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                              const BITMAPINFO *info, UINT usage) try {
    int width = 0, height = 0;
    if ((hdc && !find_dc(hdc)) || !header || !header_size(header, &width, &height)) return fail(ERROR_INVALID_PARAMETER);
    Surface source;
    bool initialise = init & CBM_INIT;
    if (initialise && (!bits || usage != DIB_RGB_COLORS || !describe_dib(info, &source, nullptr)))
        return fail(ERROR_INVALID_PARAMETER);
    std::unique_ptr<Bitmap> bitmap = new_device_bitmap(width, height, compatible_depth(hdc));
    if (!bitmap) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (initialise) {
        source.bits = static_cast<uint8_t *>(const_cast<void *>(bits));
        copy_pixels(source, 0, 0, bitmap->surface, 0, 0, std::min(width, source.width), std::min(height, source.height));
    }
    return add_bitmap(std::move(bitmap));
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
