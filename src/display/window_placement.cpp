#include "display/window_placement.h"

#include <algorithm>

namespace display {

int placed_start(int start, int extent, int size) { return start + std::max(0, (extent - size) / 2); }

}  // namespace display
