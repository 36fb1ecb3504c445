// Row converters between each pixel format and the engine's intermediate row of 32-bit pixels
// 0xAARRGGBB. The top byte is 0 for formats without it; plain 32-bit pixels pass theirs through.
#pragma once
#include <cstdint>

#include "engine/pixel_format.h"

namespace gdi {

// Reads count pixels starting at column x of a row.
using RowReader = void (*)(const PixelFormat &format, const uint8_t *row, int x, int count, uint32_t *out);
// Writes count pixels starting at column x of a row.
using RowWriter = void (*)(const PixelFormat &format, const uint32_t *in, int count, uint8_t *row, int x);
// Copies count pixels between two rows without the intermediate row; pointers at the first pixel.
// Same-format copies may overlap (one surface copied onto itself); the 24 <-> 32 conversions need
// rows of two different surfaces.
using RowCopy = void (*)(const uint8_t *src, uint8_t *dst, int count);

RowReader reader_for(const PixelFormat &format);
RowWriter writer_for(const PixelFormat &format);

// The reader and writer for a conversion from one format to another. Indexed formats of one bit
// count with the same full colour table pass their indices through unchanged, so that a table
// with repeated colours keeps its indices.
struct RowCodecs {
    RowReader read;
    RowWriter write;
};
RowCodecs codecs_for(const PixelFormat &in, const PixelFormat &out);
// The direct copy for the pairs that have one (24 and plain 32 bits both ways), or null.
RowCopy direct_copy_for(const PixelFormat &src, const PixelFormat &dst);

}  // namespace gdi
