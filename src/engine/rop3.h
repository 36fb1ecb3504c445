// Ternary raster operations. The index byte of a raster operation code (bits 16-23) is a truth
// table over a pattern, a source and a destination bit: the result bit is bit (P << 2 | S << 1 | D)
// of it, for every bit position of the pixel values at once.
#pragma once
#include <cstdint>

namespace gdi {

inline uint8_t rop3_index(uint32_t rop) { return uint8_t(rop >> 16); }

// Whether the operation's result depends on the source, the pattern or the destination.
inline bool rop3_uses_source(uint8_t index) { return ((index >> 2) ^ index) & 0x33; }
inline bool rop3_uses_pattern(uint8_t index) { return ((index >> 4) ^ index) & 0x0F; }
inline bool rop3_uses_destination(uint8_t index) { return ((index >> 1) ^ index) & 0x55; }

uint32_t rop3(uint8_t index, uint32_t pattern, uint32_t source, uint32_t destination);

// dst[i] = rop3(index, pattern[i], src[i], dst[i]) for count values; pattern and src may be null
// when the operation does not read them.
void rop3_row(uint8_t index, const uint32_t *pattern, const uint32_t *src, uint32_t *dst, int count);

}  // namespace gdi
