// A picture of where two pictures differ.
#pragma once
#include <cstddef>
#include <cstdint>

namespace inspect {

// `count` pixels of the heat map of a and b (blue, green, red bytes): A as dimmed grey, pixels
// whose largest channel difference exceeds the tolerance coloured by it: blue up to 4, yellow 5
// to 15, red 16 and more.
void paint_heat_map(const uint8_t *a, const uint8_t *b, size_t count, int tolerance, uint8_t *out);

}  // namespace inspect
