// Block operations on surfaces. Callers clip first: every rectangle passed here lies inside its
// surface. Checked builds verify that (engine/preconditions.h); others trust it.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/surface.h"

namespace gdi {

// Copies a w x h block from (sx, sy) of src to (dx, dy) of dst, converting the format.
// The two blocks may overlap when both are on the same pixel memory.
void copy_pixels(const Surface &src, int sx, int sy, const Surface &dst, int dx, int dy, int w, int h);

// Fills a w x h block at (x, y) with one colour 0xAARRGGBB.
void fill_pixels(const Surface &dst, int x, int y, int w, int h, uint32_t bgra);

// One axis of a stretch: destination coordinate first + i takes source coordinate source[i], or
// when count is filled, the count[i] source coordinates from source[i] up, merged.
struct AxisMap {
    int first = 0;
    std::vector<int> source;
    std::vector<int> count = {};
};

// Nearest-neighbour copy: destination pixel (columns.first + i, rows.first + j) takes source
// pixel (columns.source[i], rows.source[j]).
void stretch_pixels(const Surface &src, const AxisMap &columns, const AxisMap &rows, const Surface &dst);

// Draws a w x h block of top-down 0xAARRGGBB pixels (pitch pixels per row) at (dx, dy) of dst,
// blended by their straight alpha when blend is set, else copied.
void draw_pixels(const uint32_t *pixels, int pitch, const Surface &dst, int dx, int dy, int w, int h, bool blend);

}  // namespace gdi
