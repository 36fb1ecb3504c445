// Large buffers (decoded pictures, streams' blocks, surfaces) as anonymous memory of their own;
// from a megabyte on, in whole 2 MB pages the kernel may back with huge pages (madvise), so that
// first touching one costs a fault per 2 MB instead of one per 4 KB page. Pages never touched
// cost nothing. Blocks given back are kept for a later request of the same size, as memory
// already touched costs far less to take again than fresh memory. Requests under 64 KB are the
// C library's.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sys {

// Requests under this size are the C library's: not page-aligned.
constexpr size_t kLargeBlockBytes = size_t(64) << 10;

// A block of at least `bytes`, or null when the memory cannot be had. Fresh memory is zero; a
// kept block taken again holds what its last user left unless `zeroed` asks it cleared.
uint8_t *acquire_large(size_t bytes, bool zeroed);

// Gives back a block with the size it was asked for; only its first `dirty` bytes may have been
// written since it was zero.
void release_large(uint8_t *block, size_t bytes, size_t dirty);

// Gives the block a new size, keeping its first bytes (large blocks move without a copy), the
// new bytes zero; null when the memory cannot be had, the block then kept as it was.
uint8_t *resize_large(uint8_t *block, size_t bytes, size_t new_bytes);

// Releases what it holds: for std::unique_ptr of pixels and such.
struct LargeRelease {
    size_t bytes = 0;
    void operator()(void *block) const { release_large(static_cast<uint8_t *>(block), bytes, bytes); }
};

}  // namespace sys
