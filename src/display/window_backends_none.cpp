// A build without SDL2 has no real window.
#include "display/window_backends.h"

namespace display {

std::vector<BackendEntry> window_backends() { return {}; }

}  // namespace display
