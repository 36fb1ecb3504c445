#include "codecs/raster.h"

#include <new>

#include "codecs/formats.h"

namespace codecs {

Status Raster::allocate(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return Status::Failed;
    if (w > kMaxPixels || h > kMaxPixels || w * h > kMaxPixels) return Status::OutOfMemory;
    pixels.reset(new (std::nothrow) uint32_t[w * h]);
    if (!pixels) return Status::OutOfMemory;
    width = int(w);
    height = int(h);
    return Status::Ok;
}

gdi::Surface Raster::surface() const {
    gdi::Surface s;
    s.bits = reinterpret_cast<uint8_t *>(pixels.get());
    s.width = width;
    s.height = height;
    s.stride = width * 4;
    s.format = has_alpha ? gdi::PixelFormat::with_alpha() : gdi::PixelFormat::direct(32);
    return s;
}

}  // namespace codecs
