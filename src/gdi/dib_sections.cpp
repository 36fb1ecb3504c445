// Bitmaps made from DIB descriptions: DIB sections, and device-dependent bitmaps initialised
// from DIB pixels.
#include <climits>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "gdi/dib_format.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

HBITMAP fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

bool compressed(const DibHeader &h) { return h.compression != BI_RGB && h.compression != BI_BITFIELDS; }

// Without a context the bitmap is what a fresh memory context makes: monochrome.
HBITMAP compatible_bitmap(HDC hdc, int width, int height) {
    if (hdc) return CreateCompatibleBitmap(hdc, width, height);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(memory, width, height) : nullptr;
    DeleteDC(memory);
    return bitmap;
}

}  // namespace

extern "C" {

// A compressed format is refused without a last error, as on the platform. A 1, 4 or 8-bit
// section owns a table of 1 << bpp colours (DIB_PAL_COLORS: from hdc's palette, as it is now).
HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                DWORD offset) try {
    if (bits) *bits = nullptr;
    DibHeader h;
    if ((hdc && !find_dc(hdc)) || !read_dib_header(info, &h)) return fail(ERROR_INVALID_PARAMETER);
    if (compressed(h) && usage <= DIB_PAL_COLORS) return nullptr;
    if (!dib_accepted(info, h, usage, DibUse::Section)) return fail(ERROR_INVALID_PARAMETER);
    if (layer::injected_fault("CreateDIBSection")) return fail(ERROR_NOT_ENOUGH_MEMORY);
    auto bitmap = std::make_unique<Bitmap>();
    if (!dib_surface(info, h, usage, hdc, &bitmap->surface)) return fail(ERROR_INVALID_PARAMETER);
    size_t bytes = size_t(h.stride() * h.rows());
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

// The bitmap is compatible with hdc (the header gives only its size); CBM_INIT then sets all its
// lines from bits as SetDIBits does, and a refusal there refuses the bitmap.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                              const BITMAPINFO *info, UINT usage) try {
    DibHeader h;
    const auto *described = reinterpret_cast<const BITMAPINFO *>(header);
    if ((hdc && !find_dc(hdc)) || !read_dib_header(described, &h) || !dib_accepted(described, h, usage, DibUse::DeviceBitmap) ||
        h.width > INT_MAX || h.rows() > INT_MAX)
        return fail(ERROR_INVALID_PARAMETER);
    int width = int(h.width), height = int(h.rows());
    HBITMAP bitmap = compatible_bitmap(hdc, width, height);
    if (bitmap && (init & CBM_INIT) && !SetDIBits(hdc, bitmap, 0, UINT(height), bits, info, usage)) {
        DeleteObject(bitmap);
        return fail(ERROR_INVALID_PARAMETER);
    }
    return bitmap;
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
