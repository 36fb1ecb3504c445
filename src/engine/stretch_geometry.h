// Geometry of nearest-neighbour transfers: which destination pixels are drawn from which source
// pixels, with the platform's rules for negative sizes and rectangles partly outside the image.
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

// Maps one axis. Destination coordinates outside [clip_begin, clip_end) are not drawn, nor are
// those whose source coordinate falls outside [0, src_extent): the part of the source that exists
// is drawn where the full rectangles put it, never stretched over the rest. One of dst and src
// reversed mirrors the axis; both reversed cancel out.
AxisMap map_axis(const Span &dst, const Span &src, int clip_begin, int clip_end, int src_extent);

// True when the map is a plain shift (source[i] == source[0] + i), so a straight copy will do.
bool is_shift(const AxisMap &map);

}  // namespace gdi
