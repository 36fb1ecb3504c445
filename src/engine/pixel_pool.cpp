#include "engine/pixel_pool.h"

#include "sys/large_blocks.h"

namespace gdi {

uint8_t *acquire_zeroed(size_t bytes) { return sys::acquire_large(bytes, true); }

void release_buffer(uint8_t *buffer, size_t bytes) { sys::release_large(buffer, bytes, bytes); }

}  // namespace gdi
