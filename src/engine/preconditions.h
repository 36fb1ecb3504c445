// The engine's callers clip first; checked builds (Debug, sanitizers, fuzzing) verify it, and a
// block that leaves its surface stops the process there instead of touching memory around it.
#pragma once
#include "engine/surface.h"

namespace gdi {

// True when this build of the engine checks its preconditions.
bool checks_preconditions();

// Stops the process with the failed condition unless the block lies inside the surface.
void require_inside(const Surface &s, int x, int y, int w, int h, const char *what);

}  // namespace gdi
