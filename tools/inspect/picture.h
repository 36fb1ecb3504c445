// A picture as the tool holds it: top-down rows of blue, green, red bytes, no padding (the byte
// order of the bench's dumps and captures).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/surface.h"
#include "huge_page_allocator.h"

namespace inspect {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t, HugePageAllocator<uint8_t>> bgr;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), bgr(size_t(w) * size_t(h) * 3) {}
    size_t pixels() const { return size_t(width) * size_t(height); }
    const uint8_t *at(int x, int y) const { return &bgr[(size_t(y) * width + x) * 3]; }

    // The rows as the engine reads them, and writes them through a picture that is not const.
    gdi::Surface surface() const {
        gdi::Surface s;
        s.bits = const_cast<uint8_t *>(bgr.data());
        s.width = width;
        s.height = height;
        s.stride = width * 3;
        s.format = gdi::PixelFormat::direct(24);
        return s;
    }
};

}  // namespace inspect
