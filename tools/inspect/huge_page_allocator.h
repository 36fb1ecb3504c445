// An allocator for picture memory: large blocks are aligned to 2 MB and offered to the kernel for
// transparent huge pages, so that a 4 MB picture costs two page faults instead of a thousand.
#pragma once
#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace inspect {

template <typename T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr size_t kHugePage = size_t(2) << 20;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U> &) {}

    T *allocate(size_t n) {
        size_t bytes = n * sizeof(T);
        if (bytes < kHugePage) return static_cast<T *>(::operator new(bytes));
        size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void *block = std::aligned_alloc(kHugePage, rounded);
        if (!block) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        madvise(block, rounded, MADV_HUGEPAGE);  // advice only: without it, ordinary pages
#endif
        return static_cast<T *>(block);
    }
    void deallocate(T *p, size_t n) {
        if (n * sizeof(T) < kHugePage)
            ::operator delete(p);
        else
            std::free(p);
    }
    template <typename U>
    bool operator==(const HugePageAllocator<U> &) const { return true; }
    template <typename U>
    bool operator!=(const HugePageAllocator<U> &) const { return false; }
};

}  // namespace inspect
