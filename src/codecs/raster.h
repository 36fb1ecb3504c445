// A decoded image as the layer keeps it: top-down 32-bit pixels 0xAARRGGBB.
#pragma once
#include <gdiplus.h>

#include <cstdint>
#include <memory>

namespace gdiplus {

// Images are capped at 64 megapixels (256 MB of pixels, e.g. 8192 x 8192): beyond any photo the
// bench handles, and small enough that a hostile header cannot make the layer reserve gigabytes.
constexpr uint64_t kMaxPixels = uint64_t(64) << 20;

struct Raster {
    int width = 0;
    int height = 0;
    std::unique_ptr<uint32_t[]> pixels;
    bool has_alpha = false;  // the top byte is straight alpha; otherwise it is 255

    // Reserves width x height pixels, left unset: OutOfMemory over the cap or without memory,
    // GenericError for an empty size.
    Gdiplus::Status allocate(uint64_t w, uint64_t h);

    uint32_t *row(int y) { return pixels.get() + size_t(y) * size_t(width); }
    const uint32_t *row(int y) const { return pixels.get() + size_t(y) * size_t(width); }
};

}  // namespace gdiplus
