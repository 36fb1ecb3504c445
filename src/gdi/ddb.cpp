// Device-dependent bitmaps: CreateBitmap and its kin, and their bits as the platform lays
// them out (top-down rows padded to 16 bits, whatever the bitmap is).
#include <algorithm>
#include <cstring>
#include <cstdlib>

#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

namespace {

constexpr int64_t kMaxSide = 0x7FFFFFF;

HBITMAP fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// Depths between the supported ones round up to the next; 0 for more than 32 bits.
int ddb_depth(UINT bpp) {
    for (int depth : {1, 4, 8, 16, 24, 32})
        if (bpp <= UINT(depth)) return depth;
    return 0;
}

// A zero width or height gives the 1 x 1 monochrome stock bitmap, as on the platform;
// negative sizes count as positive.
HBITMAP make_ddb(int64_t width, int64_t height, int bpp, const void *bits) {
    width = std::llabs(width);
    height = std::llabs(height);
    if (width > kMaxSide || height > kMaxSide) return fail(ERROR_INVALID_PARAMETER);
    if (width == 0 || height == 0) return stock_bitmap();
    std::unique_ptr<Bitmap> bitmap = new_device_bitmap(int(width), int(height), bpp);
    if (!bitmap) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (bits) std::memcpy(bitmap->surface.bits, bits, size_t(bitmap->surface.stride) * size_t(height));
    HBITMAP handle = add_bitmap(std::move(bitmap));
    return handle ? handle : fail(ERROR_NOT_ENOUGH_MEMORY);
}

// The bitmap's rows in the device-dependent layout; the rows of DIB sections are repacked.
size_t ddb_bytes(const Surface &s) { return size_t(ddb_stride(s.width, s.format->bpp)) * size_t(s.height); }

// Copies whole rows, as many as fit in count bytes, between the bitmap and a buffer in the
// device-dependent layout; returns the bytes copied.
template <class CopyRow>
LONG copy_rows(const Surface &s, size_t count, CopyRow copy_row) {
    size_t stride = size_t(ddb_stride(s.width, s.format->bpp));
    int rows = int(std::min(count / stride, size_t(s.height)));
    for (int y = 0; y < rows; ++y) copy_row(s.row(y), size_t(y) * stride, stride);
    return LONG(size_t(rows) * stride);
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void *bits) try {
    if (width == 0 || height == 0) return stock_bitmap();
    int depth = ddb_depth(bitsPerPixel);
    if (planes != 1 || bitsPerPixel == 0 || !depth) return fail(ERROR_INVALID_PARAMETER);
    return make_ddb(width, height, depth, bits);
} OUT_OF_MEMORY_RETURNS(nullptr)

// The record's bmWidthBytes is not read: rows are always padded to 16 bits.
HBITMAP WINAPI CreateBitmapIndirect(const BITMAP *bitmap) {
    if (!bitmap) return fail(ERROR_INVALID_PARAMETER);
    return CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) try {
    if (!find_dc(hdc)) return nullptr;
    if (width < 0 || height < 0) return fail(ERROR_INVALID_PARAMETER);
    return make_ddb(width, height, compatible_depth(hdc), nullptr);
} OUT_OF_MEMORY_RETURNS(nullptr)

HBITMAP WINAPI CreateDiscardableBitmap(HDC hdc, int width, int height) {
    return CreateCompatibleBitmap(hdc, width, height);
}

// With no buffer, the size of all the bits; a negative count means no limit.
LONG WINAPI GetBitmapBits(HBITMAP hbitmap, LONG count, LPVOID bits) {
    Bitmap *bitmap = find_bitmap(hbitmap);
    if (!bitmap) return 0;
    const Surface &s = bitmap->surface;
    if (!bits) return LONG(ddb_bytes(s));
    auto *out = static_cast<uint8_t *>(bits);
    return copy_rows(s, size_t(ULONG(count)), [out](const uint8_t *row, size_t at, size_t n) { std::memcpy(out + at, row, n); });
}

LONG WINAPI SetBitmapBits(HBITMAP hbitmap, DWORD count, const void *bits) {
    Bitmap *bitmap = find_bitmap(hbitmap);
    if (!bitmap || !bits) return 0;
    auto *in = static_cast<const uint8_t *>(bits);
    return copy_rows(bitmap->surface, count, [in](uint8_t *row, size_t at, size_t n) { std::memcpy(row, in + at, n); });
}

}  // extern "C"
