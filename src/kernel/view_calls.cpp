// MapViewOfFile, FlushViewOfFile and UnmapViewOfFile: views that the program maps itself.
#include <windows.h>

#include <iterator>
#include <map>

#include "core/out_of_memory.h"
#include "kernel/file_mapping.h"

namespace {

constexpr uint64_t kAllocationGranularity = 64 * 1024;

// The program's views by the address MapViewOfFile gave.
std::map<const void *, kernel::MappedView> &views() {
    static std::map<const void *, kernel::MappedView> table;
    return table;
}

// The view that holds address, or null (ERROR_INVALID_ADDRESS).
const kernel::MappedView *view_holding(LPCVOID address) {
    auto *byte = static_cast<const uint8_t *>(address);
    auto after = views().upper_bound(address);
    if (after != views().begin()) {
        const kernel::MappedView &view = std::prev(after)->second;
        if (byte < static_cast<const uint8_t *>(view.base) + view.length) return &view;
    }
    SetLastError(ERROR_INVALID_ADDRESS);
    return nullptr;
}

}  // namespace

extern "C" {

// A size of 0 maps from the offset to the end of the mapping.
LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) try {
    uint64_t offset = uint64_t(offsetHigh) << 32 | offsetLow;
    if (offset % kAllocationGranularity != 0) {
        SetLastError(ERROR_MAPPED_ALIGNMENT);
        return nullptr;
    }
    if (!(access & (FILE_MAP_READ | FILE_MAP_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    uint64_t size = 0;
    if (bytes == 0 && !kernel::mapping_size(mapping, &size)) return nullptr;
    if (bytes == 0) bytes = size > offset ? SIZE_T(size - offset) : 0;
    kernel::MappedView view;
    if (!kernel::map_view(mapping, offset, bytes, (access & FILE_MAP_WRITE) != 0, &view)) return nullptr;
    try {
        views().emplace(view.data, view);
    } catch (const std::bad_alloc &) {
        kernel::unmap_view(view);
        throw;
    }
    return view.data;
} OUT_OF_MEMORY_RETURNS(nullptr)

BOOL WINAPI FlushViewOfFile(LPCVOID address, SIZE_T) {
    const kernel::MappedView *view = view_holding(address);
    return view && kernel::flush_view(*view);
}

BOOL WINAPI UnmapViewOfFile(LPCVOID address) {
    auto found = views().find(address);
    if (found == views().end()) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return FALSE;
    }
    kernel::MappedView view = found->second;
    views().erase(found);
    return kernel::unmap_view(view);
}

}  // extern "C"
