// VirtualQuery over the private regions the layer noted: one committed, read-write region per
// allocation, from its first page to its last.
#include <windows.h>
#include <unistd.h>

#include <cstdint>
#include <map>

#include "kernel/private_memory.h"

namespace kernel {
namespace {

// Never destroyed: bitmaps that live in static tables give their memory back at exit.
std::map<uintptr_t, size_t> &regions() {
    static auto *noted = new std::map<uintptr_t, size_t>;
    return *noted;
}

size_t page_size() {
    static const size_t size = size_t(sysconf(_SC_PAGESIZE));
    return size;
}

size_t whole_pages(size_t bytes) { return (bytes + page_size() - 1) / page_size() * page_size(); }

bool region_at(uintptr_t at, uintptr_t *base, uintptr_t *end) {
    auto next = regions().upper_bound(at);
    if (next == regions().begin()) return false;
    auto region = std::prev(next);
    *base = region->first;
    *end = region->first + region->second;
    return at < *end;
}

}  // namespace

void note_private_memory(void *base, size_t bytes) { regions()[reinterpret_cast<uintptr_t>(base)] = whole_pages(bytes); }

void forget_private_memory(void *base) { regions().erase(reinterpret_cast<uintptr_t>(base)); }

}  // namespace kernel

// Addresses outside the noted regions are not described: 0 with ERROR_INVALID_PARAMETER.
extern "C" SIZE_T WINAPI VirtualQuery(LPCVOID address, PMEMORY_BASIC_INFORMATION info, SIZE_T length) {
    uintptr_t at = reinterpret_cast<uintptr_t>(address);
    uintptr_t base = 0, end = 0;
    if (!info || length < sizeof *info || !kernel::region_at(at, &base, &end)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    uintptr_t page = at / kernel::page_size() * kernel::page_size();
    info->BaseAddress = reinterpret_cast<PVOID>(page);
    info->AllocationBase = reinterpret_cast<PVOID>(base);
    info->AllocationProtect = PAGE_READWRITE;
    info->RegionSize = end - page;
    info->State = MEM_COMMIT;
    info->Protect = PAGE_READWRITE;
    info->Type = MEM_PRIVATE;
    return sizeof *info;
}
