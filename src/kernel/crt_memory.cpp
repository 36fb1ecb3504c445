#include <cstdint>
#include <cstdlib>
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

}  // namespace

void *crt_malloc(size_t bytes) { return allocate(bytes, false); }

void *crt_calloc(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    return allocate(count * size, true);
}

void crt_free(void *block) {
    if (!block) return;
    size_t bytes = 0;
    {
        LargeBlocks &blocks = large_blocks();
        std::lock_guard<std::mutex> hold(blocks.lock);
        auto found = blocks.sizes.find(block);
        if (found != blocks.sizes.end()) {
            bytes = found->second;
            blocks.sizes.erase(found);
        }
    }
    if (bytes)
        sys::release_large(static_cast<uint8_t *>(block), bytes, bytes);
    else
        std::free(block);
}
