#include "user/update_region.h"

#include <algorithm>

namespace user {
namespace {

bool is_empty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersection(const RECT &a, const RECT &b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

RECT bounding(const RECT &a, const RECT &b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace

void UpdateRegion::invalidate(const RECT &area, const RECT &client, bool erase) {
    RECT inside = intersection(area, client);
    if (is_empty(inside)) return;
    update_ = invalid_ ? bounding(update_, inside) : inside;
    invalid_ = true;
    erase_ = erase_ || erase;
}

UpdateRegion::Paint UpdateRegion::begin_paint() {
    Paint paint = {invalid_ ? update_ : RECT{}, erase_};
    invalid_ = erase_ = false;
    painting_ = true;
    paint_area_ = paint.area;
    return paint;
}

}  // namespace user
