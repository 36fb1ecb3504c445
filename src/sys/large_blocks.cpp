#include "sys/large_blocks.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace sys {
namespace {

constexpr size_t kPage = size_t(4) << 10;
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kHuge = size_t(1) << 20;       // from here on, in whole huge pages
constexpr size_t kMaxKept = 8;
constexpr size_t kMaxKeptBytes = size_t(1) << 30;

bool large(size_t bytes) { return bytes >= kLargeBlockBytes; }

size_t unit_for(size_t bytes) { return bytes >= kHuge ? kHugePage : kPage; }

size_t capacity_for(size_t bytes) {
    size_t unit = unit_for(bytes);
    return bytes / unit * unit + (bytes % unit ? unit : 0);
}

struct Kept {
    uint8_t *block;
    size_t capacity;
    size_t dirty;
};

struct Pool {
    std::mutex lock;
    std::vector<Kept> kept;
    size_t bytes = 0;
};

// Never destroyed, so that blocks given back by other objects' destructors at exit find it.
Pool &pool() {
    static Pool *instance = new Pool;
    return *instance;
}

// Whole units starting at a unit boundary, so that the kernel can make every huge unit a huge page.
uint8_t *map_units(size_t capacity) {
    size_t unit = unit_for(capacity);
    if (capacity > SIZE_MAX - unit) return nullptr;
    size_t span = capacity + unit - kPage;
    void *mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto *base = static_cast<uint8_t *>(mapped);
    auto *start = reinterpret_cast<uint8_t *>((reinterpret_cast<uintptr_t>(base) + unit - 1) & ~(unit - 1));
    size_t head = size_t(start - base), tail = span - head - capacity;
    if (head) munmap(base, head);
    if (tail) munmap(start + capacity, tail);
    if (unit == kHugePage) madvise(start, capacity, MADV_HUGEPAGE);
    return start;
}

uint8_t *take_kept(size_t capacity, bool zeroed) {
    Pool &p = pool();
    Kept found{nullptr, 0, 0};
    {
        std::lock_guard<std::mutex> hold(p.lock);
        auto it = std::find_if(p.kept.begin(), p.kept.end(), [&](const Kept &k) { return k.capacity == capacity; });
        if (it == p.kept.end()) return nullptr;
        found = *it;
        p.kept.erase(it);
        p.bytes -= capacity;
    }
    if (zeroed) std::memset(found.block, 0, found.dirty);
    return found.block;
}

// The oldest kept blocks make room; one over the whole bound is not kept.
void keep(uint8_t *block, size_t capacity, size_t dirty) {
    std::vector<Kept> unmapped;
    {
        Pool &p = pool();
        std::lock_guard<std::mutex> hold(p.lock);
        if (capacity > kMaxKeptBytes) {
            unmapped.push_back({block, capacity, dirty});
        } else {
            while (!p.kept.empty() && (p.kept.size() >= kMaxKept || p.bytes + capacity > kMaxKeptBytes)) {
                unmapped.push_back(p.kept.front());
                p.bytes -= p.kept.front().capacity;
                p.kept.erase(p.kept.begin());
            }
            p.kept.push_back({block, capacity, dirty});
            p.bytes += capacity;
        }
    }
    for (const Kept &k : unmapped) munmap(k.block, k.capacity);
}

// Moves the pages of a large block into a bigger one without copying them.
uint8_t *grow_units(uint8_t *block, size_t from, size_t to) {
    uint8_t *grown = map_units(to);
    if (!grown) return nullptr;
    if (mremap(block, from, from, MREMAP_MAYMOVE | MREMAP_FIXED, grown) == MAP_FAILED) {
        munmap(grown, to);
        return nullptr;
    }
    return grown;
}

}  // namespace

uint8_t *acquire_large(size_t bytes, bool zeroed) {
    if (!large(bytes)) {
        size_t size = bytes ? bytes : 1;
        return static_cast<uint8_t *>(zeroed ? std::calloc(size, 1) : std::malloc(size));
    }
    size_t capacity = capacity_for(bytes);
    if (uint8_t *kept = take_kept(capacity, zeroed)) return kept;
    return map_units(capacity);
}

void release_large(uint8_t *block, size_t bytes, size_t dirty) {
    if (!block) return;
    if (large(bytes))
        keep(block, capacity_for(bytes), std::min(dirty, bytes));
    else
        std::free(block);
}

uint8_t *resize_large(uint8_t *block, size_t bytes, size_t new_bytes) {
    if (large(bytes) != large(new_bytes)) {
        uint8_t *moved = acquire_large(new_bytes, true);
        if (!moved) return nullptr;
        std::memcpy(moved, block, std::min(bytes, new_bytes));
        release_large(block, bytes, bytes);
        return moved;
    }
    uint8_t *resized = block;
    size_t written_to = new_bytes;  // fresh memory past here is zero already
    if (!large(bytes)) {
        resized = static_cast<uint8_t *>(std::realloc(block, new_bytes ? new_bytes : 1));
    } else {
        size_t from = capacity_for(bytes), to = capacity_for(new_bytes);
        if (to > from) resized = grow_units(block, from, to);
        if (to < from) munmap(block + to, from - to);
        written_to = std::min(new_bytes, from);
    }
    // What lies past the old size may hold bytes a shrink cut off.
    if (resized && written_to > bytes) std::memset(resized + bytes, 0, written_to - bytes);
    return resized;
}

}  // namespace sys
