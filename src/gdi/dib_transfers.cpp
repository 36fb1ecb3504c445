// GetDIBits: bitmap pixels copied out into caller memory in DIB layout.
#include <algorithm>

#include "core/out_of_memory.h"
#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

using namespace gdi;

extern "C" {

// With no destination: biBitCount 0 asks for the bitmap's format (returns its height); any
// other bit count asks for the size of its lines in that format (biSizeImage only). With a
// destination: copies lines into the header's format, scan line 0 being the bottom row of a
// bottom-up header, and returns how many were copied. Destinations of 8 bits or less, which
// would need a colour table made up, are not supported.
int WINAPI GetDIBits(HDC hdc, HBITMAP hbitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) try {
    Bitmap *bitmap = find_dc(hdc) ? find_bitmap(hbitmap) : nullptr;
    if (!bitmap || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) return 0;
    const Surface &source = bitmap->surface;
    BITMAPINFOHEADER &header = info->bmiHeader;
    if (!bits && header.biBitCount == 0) {
        header.biWidth = source.width;
        header.biHeight = source.height;
        header.biPlanes = 1;
        header.biBitCount = WORD(source.format->bpp);
        header.biCompression = BI_RGB;
        header.biSizeImage = DWORD(source.stride) * DWORD(source.height);
        return source.height;
    }
    Surface target;
    size_t bytes = 0;
    if (!describe_dib(info, &target, &bytes)) return 0;
    if (!bits) {
        header.biSizeImage = DWORD(bytes);
        return source.height;
    }
    if (target.format->bpp <= 8) return 0;
    UINT available = UINT(std::min(target.height, source.height));
    if (start >= available) return 0;
    target.height = int(std::min(lines, available - start));
    target.bits = static_cast<uint8_t *>(bits);
    int first_row = target.bottom_up ? source.height - int(start) - target.height : int(start);
    copy_pixels(source, 0, first_row, target, 0, 0, std::min(source.width, target.width), target.height);
    return target.height;
} OUT_OF_MEMORY_RETURNS(0)

}  // extern "C"
