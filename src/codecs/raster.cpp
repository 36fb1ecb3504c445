#include "gdiplus/raster.h"

#include <new>

namespace gdiplus {

Gdiplus::Status Raster::allocate(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return Gdiplus::GenericError;
    if (w > kMaxPixels || h > kMaxPixels || w * h > kMaxPixels) return Gdiplus::OutOfMemory;
    pixels.reset(new (std::nothrow) uint32_t[w * h]);
    if (!pixels) return Gdiplus::OutOfMemory;
    width = int(w);
    height = int(h);
    return Gdiplus::Ok;
}

}  // namespace gdiplus
