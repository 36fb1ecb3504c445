#include "engine/stretch_geometry.h"

#include <algorithm>

namespace gdi {
namespace {

// The source pixels destination pixel i of an m-pixel run takes from an n-pixel run, as offsets
// lo..hi from the source's start.
struct Cover {
    int64_t n, m;
    bool merge;
    int64_t lo(int64_t i) const {
        if (merge && n > m) return int64_t(__int128(i) * n / m);
        // Sample at the centre of destination pixel i: shrinking 4 to 2 keeps 1 and 3.
        return int64_t(__int128(2 * i + 1) * n / (2 * m));
    }
    int64_t hi(int64_t i) const { return merge && n > m ? int64_t(__int128(i + 1) * n / m) - 1 : lo(i); }
};

// The first i in [0, m) for which the monotonic test holds, or m.
template <class Test>
int64_t first_where(int64_t m, Test test) {
    int64_t lo = 0, hi = m;
    while (lo < hi) {
        int64_t mid = lo + (hi - lo) / 2;
        if (test(mid)) hi = mid;
        else lo = mid + 1;
    }
    return lo;
}

}  // namespace

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

AxisMap map_axis(const Span &dst, const Span &src, int clip_begin, int clip_end, int src_extent, bool merge) {
    AxisMap map;
    if (dst.length == 0 || src.length == 0) return map;
    const Cover cover{src.length, dst.length, merge};
    // The destination pixels whose source lies at least partly inside the image, unmirrored.
    const int64_t low = -src.begin, high = src_extent - 1 - src.begin;
    const int64_t first = first_where(dst.length, [&](int64_t i) { return cover.hi(i) >= low; });
    const int64_t end = first_where(dst.length, [&](int64_t i) { return cover.lo(i) > high; });
    const bool mirrored = dst.reversed != src.reversed;
    const int64_t from = std::max(first, clip_begin - dst.begin), to = std::min(end, clip_end - dst.begin);
    for (int64_t i = from; i < to; ++i) {
        int64_t k = mirrored ? first + end - 1 - i : i;
        int64_t lo = std::max(cover.lo(k), low), hi = std::min(cover.hi(k), high);
        if (map.source.empty()) map.first = int(dst.begin + i);
        map.source.push_back(int(src.begin + lo));
        if (merge) map.count.push_back(int(hi - lo + 1));
    }
    return map;
}

bool is_shift(const AxisMap &map) {
    for (size_t i = 1; i < map.source.size(); ++i)
        if (map.source[i] != map.source[0] + int(i)) return false;
    return true;
}

}  // namespace gdi
