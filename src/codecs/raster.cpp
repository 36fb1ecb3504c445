#include "codecs/raster.h"

#include "codecs/formats.h"

namespace codecs {

bool Raster::fits(uint64_t w, uint64_t h) { return w <= kMaxRasterBytes / 4 && (w == 0 || h <= kMaxRasterBytes / (w * 4)); }

Status Raster::allocate(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return Status::Failed;
    if (!fits(w, h)) return Status::OutOfMemory;
    size_t bytes = size_t(w * h * 4);
    pixels = std::unique_ptr<uint32_t[], sys::LargeRelease>(
        reinterpret_cast<uint32_t *>(sys::acquire_large(bytes, false)), sys::LargeRelease{bytes});
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
