// Rectangles in 64-bit coordinates, so that clipping arithmetic on any int arguments cannot overflow.
#pragma once
#include <algorithm>
#include <cstdint>

namespace gdi {

struct Box {
    int64_t left = 0, top = 0, right = 0, bottom = 0;

    static Box sized(int64_t x, int64_t y, int64_t w, int64_t h) { return Box{x, y, x + w, y + h}; }
    int width() const { return int(right - left); }
    int height() const { return int(bottom - top); }
    bool empty() const { return right <= left || bottom <= top; }
    Box intersect(const Box &o) const {
        return Box{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    Box moved(int64_t dx, int64_t dy) const { return Box{left + dx, top + dy, right + dx, bottom + dy}; }
};

}  // namespace gdi
