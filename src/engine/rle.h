// Run-length encoded DIB pixels (BI_RLE8, BI_RLE4). The data describes rows from the bottom up
// and need not code every pixel: the decoded picture says which pixels it coded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/blit_engine.h"

namespace gdi {

struct RlePicture {
    int width = 0, height = 0;
    std::vector<uint8_t> index;  // width x height colour-table indices, top row first
    std::vector<uint8_t> coded;  // 1 where the data set the pixel
};

// Decodes width x height pixels of 4 or 8 bits from at most `size` bytes. Runs past the right
// edge are cut there, rows past the top dropped; decoding stops at the end-of-picture code or
// the end of the data, whichever comes first.
RlePicture decode_rle(const uint8_t *data, size_t size, int bits, int width, int height);

// Draws the coded pixels of the picture, coloured by the palette of `format`, where the maps put
// them (as stretch_pixels does); the destination keeps its pixels elsewhere.
void draw_coded(const RlePicture &picture, const PixelFormat &format, const AxisMap &columns, const AxisMap &rows,
                const Surface &dst);

}  // namespace gdi
