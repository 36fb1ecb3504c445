// A surface describes pixel memory the engine can read or write: size, row layout and format.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace gdi {

struct Surface {
    uint8_t *bits = nullptr;  // first row in memory
    int width = 0;
    int height = 0;
    int stride = 0;          // bytes from one memory row to the next
    bool bottom_up = false;  // the first memory row is the bottom row of the picture
    int bpp = 32;            // 1, 4, 8, 16, 24 or 32
    bool bitfields = false;  // 16/32 bpp: masks below are used (else 5-5-5 or 8-8-8)
    uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};  // red, green, blue
    bool has_alpha = false;  // 32 bpp only: the top byte is straight alpha (GDI+ images)
    std::vector<RGBQUAD> palette;

    // Address of the picture row y (0 = top row), whatever the memory order.
    uint8_t *row(int y) const { return bits + ptrdiff_t(bottom_up ? height - 1 - y : y) * stride; }
};

}  // namespace gdi
