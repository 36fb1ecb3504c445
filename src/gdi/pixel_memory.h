// The pixel memory a bitmap owns: a zero-filled buffer, or a view of a file mapping.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kernel/file_mapping.h"

namespace gdi {

class PixelMemory {
public:
    PixelMemory() = default;
    PixelMemory(PixelMemory &&other) noexcept { swap(other); }
    PixelMemory &operator=(PixelMemory &&other) noexcept {
        swap(other);
        return *this;
    }
    PixelMemory(const PixelMemory &) = delete;
    PixelMemory &operator=(const PixelMemory &) = delete;
    ~PixelMemory();

    // Empty when the memory cannot be had; the last error says why. Zeroed memory is private
    // and page-aligned, and VirtualQuery describes it.
    static PixelMemory zeroed(size_t bytes);
    static PixelMemory mapped(HANDLE mapping, DWORD offset, size_t bytes);

    uint8_t *bits() const { return bits_; }
    explicit operator bool() const { return bits_ != nullptr; }

private:
    void swap(PixelMemory &other) noexcept;

    uint8_t *bits_ = nullptr;
    size_t bytes_ = 0;
    kernel::MappedView view_;  // set for mapped memory only
};

}  // namespace gdi
