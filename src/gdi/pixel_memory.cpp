#include "gdi/pixel_memory.h"

#include <utility>

#include "engine/pixel_pool.h"
#include "kernel/private_memory.h"

namespace gdi {

PixelMemory::~PixelMemory() {
    if (view_.base) {
        kernel::unmap_view(view_);
    } else if (bits_) {
        kernel::forget_private_memory(bits_);
        release_buffer(bits_, bytes_);
    }
}

PixelMemory PixelMemory::zeroed(size_t bytes) {
    PixelMemory memory;
    memory.bits_ = acquire_zeroed(bytes);
    memory.bytes_ = bytes;
    if (memory.bits_)
        kernel::note_private_memory(memory.bits_, bytes);
    else
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

PixelMemory PixelMemory::mapped(HANDLE mapping, DWORD offset, size_t bytes) {
    PixelMemory memory;
    if (kernel::map_view(mapping, offset, bytes, true, &memory.view_)) {
        memory.bits_ = memory.view_.data;
        memory.bytes_ = bytes;
    }
    return memory;
}

void PixelMemory::swap(PixelMemory &other) noexcept {
    std::swap(bits_, other.bits_);
    std::swap(bytes_, other.bytes_);
    std::swap(view_, other.view_);
}

}  // namespace gdi
