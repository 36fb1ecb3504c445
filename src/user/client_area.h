// A window's client area: its pixels, 32-bit and top-down, and the surface that describes them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "engine/surface.h"
#include "sys/large_blocks.h"

namespace user {

class ClientArea {
public:
    ClientArea() = default;
    ClientArea(const ClientArea &) = delete;
    ClientArea &operator=(const ClientArea &) = delete;

    // New opaque white pixels of that size, a negative one counting as 0. The area keeps its size
    // and pixels when the new ones cannot be had (std::bad_alloc).
    void resize(int width, int height);

    int width() const { return surface_.width; }
    int height() const { return surface_.height; }
    RECT rect() const { return {0, 0, width(), height()}; }
    // Keeps its address for the area's life; its bits move when the area is resized.
    gdi::Surface *surface() { return &surface_; }

private:
    std::unique_ptr<uint32_t[], sys::LargeRelease> pixels_;
    gdi::Surface surface_;
};

}  // namespace user
