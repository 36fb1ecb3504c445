// Geometry of stretched transfers: which destination pixels are drawn from which source pixels,
// with the platform's rules for negative sizes and rectangles partly outside the image.
#pragma once
#include <cstdint>

#include "engine/blit_engine.h"

namespace gdi {

// A run of coordinates given as a start and a signed length. A negative length covers
// start + length + 1 .. start and is walked from its far end, which mirrors the run.
struct Span {
    int64_t begin = 0;
    int64_t length = 0;  // always positive once made
    bool reversed = false;
};

Span make_span(int start, int length);

// Maps one axis. Each destination pixel samples the source pixel under its centre, or with
// `merge` set, when shrinking, takes all the source pixels it covers (AxisMap::count).
// The source is clipped to [0, src_extent) first and the destination loses the same share on the
// same side, before one of dst and src reversed mirrors what is left (both reversed cancel out);
// then destination coordinates outside [clip_begin, clip_end) are dropped.
AxisMap map_axis(const Span &dst, const Span &src, int clip_begin, int clip_end, int src_extent, bool merge = false);

// True when the map is a plain shift (source[i] == source[0] + i), so a straight copy will do.
bool is_shift(const AxisMap &map);

}  // namespace gdi
