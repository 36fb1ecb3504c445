// Zero-filled, page-aligned pixel buffers. Large ones are kept for reuse (sys/large_blocks.h): the
// first touch of a fresh page costs far more than clearing a page already mapped, and the program
// creates and frees a same-sized section on every repaint.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gdi {

// A zero-filled, page-aligned buffer of the given size, or null when the memory cannot be had.
uint8_t *acquire_zeroed(size_t bytes);
// Gives back a buffer from acquire_zeroed with the size it was asked for.
void release_buffer(uint8_t *buffer, size_t bytes);

}  // namespace gdi
