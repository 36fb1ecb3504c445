// A surface describes pixel memory the engine can read or write: size, row layout and format.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/pixel_format.h"

namespace gdi {

struct Surface {
    uint8_t *bits = nullptr;  // first row in memory
    int width = 0;
    int height = 0;
    int stride = 0;          // bytes from one memory row to the next
    bool bottom_up = false;  // the first memory row is the bottom row of the picture
    FormatRef format = PixelFormat::direct(32);  // never null

    // Address of the picture row y (0 = top row), whatever the memory order.
    uint8_t *row(int y) const { return bits + ptrdiff_t(bottom_up ? height - 1 - y : y) * stride; }
};

}  // namespace gdi
