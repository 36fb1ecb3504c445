// Blits that do more than copy: raster operations with a pattern, shrinking that merges the
// source pixels it drops, and colour sources turned into monochrome by a background colour.
// Callers clip first, as for the block operations of blit_engine.h.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/blit_engine.h"
#include "engine/stretch_geometry.h"

namespace gdi {

// What a brush paints: one colour 0xAARRGGBB, or a picture tiled over the destination.
struct Pattern {
    uint32_t colour = 0;
    const Surface *image = nullptr;  // the picture, when set
};

// How the source pixels that fall on one destination pixel combine when shrinking.
enum class Merge { None, And, Or, Average };

struct RasterJob {
    uint8_t rop = 0xCC;                // index byte of the raster operation
    Pattern pattern;                   // read when the operation reads the pattern
    int pattern_x = 0, pattern_y = 0;  // the destination pixel the picture's top-left pixel covers
    Merge merge = Merge::None;         // with AxisMap::count filled on the maps
    // Colour source into a monochrome destination: the background colour (0x00RRGGBB) becomes
    // white, every other colour black.
    bool to_mono = false;
    uint32_t mono_background = 0;
};

// Applies the operation to a w x h block at (x, y) of dst with no source.
void raster_fill(const Surface &dst, int x, int y, int w, int h, const RasterJob &job);

// Applies the operation to the block the maps describe, the source taken as for stretch_pixels.
// src and dst may be the same surface.
void raster_stretch(const Surface &src, const AxisMap &columns, const AxisMap &rows, const Surface &dst,
                    const RasterJob &job);

// Draws the source rectangle given by two spans into the destination one, clipped to dst, as
// map_axis maps them; shrinking merges as the job says. A plain copy takes copy_pixels or
// stretch_pixels.
void blit_spans(const Surface &src, const Span &src_x, const Span &src_y, const Surface &dst, const Span &dst_x,
                const Span &dst_y, const RasterJob &job);

}  // namespace gdi
