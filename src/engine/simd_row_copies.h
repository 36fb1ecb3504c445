// Vector versions of the 24/32-bit row copies, used when the processor has them.
#pragma once
#include <cstdint>

namespace gdi {

// Copies the pixels that whole vector steps cover and returns how many that was (a multiple
// of 16); the caller finishes the rest of the row. Return 0 on processors without SSSE3.
int copy32_to_24_simd(const uint8_t *src, uint8_t *dst, int count);
int copy24_to_32_simd(const uint8_t *src, uint8_t *dst, int count);

}  // namespace gdi
