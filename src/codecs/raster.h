// A decoded image: top-down 32-bit pixels 0xAARRGGBB.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "codecs/status.h"
#include "engine/surface.h"
#include "sys/large_blocks.h"

namespace codecs {

struct Raster {
    int width = 0;
    int height = 0;
    std::unique_ptr<uint32_t[], sys::LargeRelease> pixels;
    bool has_alpha = false;  // the top byte is straight alpha; otherwise it is 255

    // Reserves width x height pixels, left unset: OutOfMemory when the rows would take more than
    // kMaxRasterBytes or the memory cannot be had, Failed for an empty size. Pages no row was
    // written to cost no memory, so a file claiming more than its data holds costs what it holds.
    Status allocate(uint64_t w, uint64_t h);
    // Whether rows of that size would take at most kMaxRasterBytes.
    static bool fits(uint64_t w, uint64_t h);

    uint32_t *row(int y) { return pixels.get() + size_t(y) * size_t(width); }
    const uint32_t *row(int y) const { return pixels.get() + size_t(y) * size_t(width); }

    // The pixels as the engine reads them: plain 32 bits, with straight alpha if the image has it.
    gdi::Surface surface() const;
};

}  // namespace codecs
