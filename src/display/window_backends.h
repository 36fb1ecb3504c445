// The backends with a real window, as this build has them: the build picks one file defining
// them, with SDL2 or without it.
#pragma once
#include <vector>

#include "display/registry.h"

namespace display {

std::vector<BackendEntry> window_backends();

}  // namespace display
