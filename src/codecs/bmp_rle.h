// Run-length encoded BMP pixels (BI_RLE8, BI_RLE4) expanded to plain 8-bit palette indices, which
// the pixel engine then reads like any uncompressed 8-bit DIB.
#pragma once
#include <cstddef>
#include <cstdint>

namespace codecs {

// Expands the codes for a width x height picture into bottom-up rows of `stride` bytes (the
// first row the codes describe is the bottom one, at `rows`). Runs and jumps past the row end or
// the last row are clipped; pixels the codes skip or never reach keep what `rows` held.
void expand_rle(const uint8_t *codes, size_t size, int bits, int width, int height, uint8_t *rows, size_t stride);

}  // namespace codecs
