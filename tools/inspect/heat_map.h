// A picture of where two pictures differ.
#pragma once
#include "picture.h"

namespace inspect {

// A as dimmed grey; pixels whose largest channel difference exceeds the tolerance coloured by it:
// blue up to 4, yellow 5 to 15, red 16 and more. The pictures are of one size.
Picture heat_map(const Picture &a, const Picture &b, int tolerance);

}  // namespace inspect
