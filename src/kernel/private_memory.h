// Regions of private, page-aligned memory the layer hands out (the pixels of bitmaps), so that
// VirtualQuery can describe them as the platform describes its own allocations.
#pragma once
#include <cstddef>

namespace kernel {

void note_private_memory(void *base, size_t bytes);
void forget_private_memory(void *base);

}  // namespace kernel
