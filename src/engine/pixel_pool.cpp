#include "engine/pixel_pool.h"

#include <sys/mman.h>

#include "sys/large_blocks.h"

namespace gdi {
namespace {

// A small buffer is a mapping of its own: page-aligned and zero-filled by the system.
uint8_t *map_pages(size_t bytes) {
    void *pages = mmap(nullptr, bytes ? bytes : 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : static_cast<uint8_t *>(pages);
}

}  // namespace

uint8_t *acquire_zeroed(size_t bytes) { return bytes < sys::kLargeBlockBytes ? map_pages(bytes) : sys::acquire_large(bytes, true); }

void release_buffer(uint8_t *buffer, size_t bytes) {
    if (!buffer) return;
    if (bytes < sys::kLargeBlockBytes)
        munmap(buffer, bytes ? bytes : 1);
    else
        sys::release_large(buffer, bytes, bytes);
}

}  // namespace gdi
