#include "engine/stretch_geometry.h"

#include <algorithm>

namespace gdi {

Span make_span(int start, int length) {
    Span span;
    if (length >= 0) {
        span.begin = start;
        span.length = length;
    } else {
        span.begin = int64_t(start) + length + 1;
        span.length = -int64_t(length);
        span.reversed = true;
    }
    return span;
}

AxisMap map_axis(const Span &dst, const Span &src, int clip_begin, int clip_end, int src_extent) {
    AxisMap map;
    if (dst.length == 0 || src.length == 0) return map;
    bool mirrored = dst.reversed != src.reversed;
    int64_t first = std::max<int64_t>(0, clip_begin - dst.begin);
    int64_t last = std::min<int64_t>(dst.length, clip_end - dst.begin);
    for (int64_t i = first; i < last; ++i) {
        // Sample at the centre of destination pixel i: shrinking 4 to 2 keeps 1 and 3.
        int64_t j = int64_t((__int128(2 * i + 1) * src.length) / (2 * dst.length));
        if (mirrored) j = src.length - 1 - j;
        int64_t s = src.begin + j;
        if (s < 0 || s >= src_extent) continue;
        if (map.source.empty()) map.first = int(dst.begin + i);
        map.source.push_back(int(s));
    }
    return map;
}

bool is_shift(const AxisMap &map) {
    for (size_t i = 1; i < map.source.size(); ++i)
        if (map.source[i] != map.source[0] + int(i)) return false;
    return true;
}

}  // namespace gdi
