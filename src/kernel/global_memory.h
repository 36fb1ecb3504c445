// What the layer asks of global memory blocks beyond the Win32 calls.
#pragma once
#include <windows.h>

#include <cstddef>

namespace kernel {

// Makes room for `bytes` in an unlocked block without changing its size, so that it can grow to
// that size without moving. False when the handle is no unlocked block or the room cannot be had.
bool reserve_global(HGLOBAL mem, size_t bytes);

}  // namespace kernel
