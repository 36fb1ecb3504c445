#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "kernel/crt_calls.h"
#include "sys/large_blocks.h"

namespace {

constexpr size_t kLarge = size_t(1) << 20;

// The large blocks handed out, with their sizes; every other block is the C library's.
struct LargeBlocks {
    std::mutex lock;
    std::map<void *, size_t> sizes;
};

LargeBlocks &large_blocks() {
    static LargeBlocks *blocks = new LargeBlocks;  // never destroyed: blocks may be freed at exit
    return *blocks;
}

void *allocate(size_t bytes, bool zeroed) {
    if (bytes < kLarge) return zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    uint8_t *block = sys::acquire_large(bytes, zeroed);
    if (!block) return nullptr;
    try {
        LargeBlocks &blocks = large_blocks();
        std::lock_guard<std::mutex> hold(blocks.lock);
        blocks.sizes.emplace(block, bytes);
    } catch (const std::bad_alloc &) {
        sys::release_large(block, bytes, bytes);
        return nullptr;
    }
    return block;
}

// The size of a large block handed out, 0 for any other block (the C library's).
size_t large_size(void *block) {
    LargeBlocks &blocks = large_blocks();
    std::lock_guard<std::mutex> hold(blocks.lock);
    auto found = blocks.sizes.find(block);
    return found == blocks.sizes.end() ? 0 : found->second;
}

}  // namespace

void *crt_malloc(size_t bytes) { return allocate(bytes, false); }

void *crt_calloc(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    return allocate(count * size, true);
}

void crt_free(void *block) {
    if (!block) return;
    size_t bytes = large_size(block);
    if (!bytes) {
        std::free(block);
        return;
    }
    {
        LargeBlocks &blocks = large_blocks();
        std::lock_guard<std::mutex> hold(blocks.lock);
        blocks.sizes.erase(block);
    }
    sys::release_large(static_cast<uint8_t *>(block), bytes, bytes);
}

// A block crossing the large size, or a large one resized, moves: the C library cannot resize
// what it did not hand out.
void *crt_realloc(void *block, size_t bytes) {
    if (!block) return crt_malloc(bytes);
    size_t old_bytes = large_size(block);
    if (!old_bytes && bytes < kLarge) return std::realloc(block, bytes);
    if (!old_bytes) old_bytes = malloc_usable_size(block);
    void *moved = crt_malloc(bytes);
    if (!moved) return nullptr;
    std::memcpy(moved, block, std::min(old_bytes, bytes));
    crt_free(block);
    return moved;
}
