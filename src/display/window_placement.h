// Where the back-end puts a new window on its screen.
#pragma once
#include <algorithm>

namespace display {

// The first column (or row) of a window of `size` on a screen area starting at `start` and
// `extent` long: centred, but never before the area's start, so that a window larger than the
// screen shows its top-left corner rather than being cut off on every side.
inline int placed_start(int start, int extent, int size) { return start + std::max(0, (extent - size) / 2); }

}  // namespace display
