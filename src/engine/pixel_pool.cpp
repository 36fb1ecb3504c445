#include "engine/pixel_pool.h"

#include <sys/mman.h>

#include <cstring>
#include <memory>
#include <vector>

namespace gdi {
namespace {

// Small buffers are cheap to get anew; only large ones are kept, and not too many of them.
constexpr size_t kSmallest = 64 * 1024;
constexpr size_t kMaxKept = 4;
constexpr size_t kMaxKeptBytes = size_t(64) << 20;

// Every buffer is a mapping of its own: page-aligned, zero-filled by the system, given back whole.
uint8_t *map_pages(size_t bytes) {
    void *pages = mmap(nullptr, bytes ? bytes : 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : static_cast<uint8_t *>(pages);
}

void unmap_pages(uint8_t *buffer, size_t bytes) { munmap(buffer, bytes ? bytes : 1); }

struct Kept {
    uint8_t *buffer;
    size_t bytes;
};

std::vector<Kept> &kept() {
    static std::vector<Kept> buffers;
    return buffers;
}

size_t kept_bytes() {
    size_t total = 0;
    for (const Kept &k : kept()) total += k.bytes;
    return total;
}

}  // namespace

uint8_t *acquire_zeroed(size_t bytes) {
    std::vector<Kept> &buffers = kept();
    for (size_t i = 0; i < buffers.size(); ++i) {
        if (buffers[i].bytes != bytes) continue;
        uint8_t *buffer = buffers[i].buffer;
        buffers.erase(buffers.begin() + ptrdiff_t(i));
        std::memset(buffer, 0, bytes);
        return buffer;
    }
    return map_pages(bytes);
}

void release_buffer(uint8_t *buffer, size_t bytes) {
    if (!buffer) return;
    std::vector<Kept> &buffers = kept();
    if (bytes < kSmallest || bytes > kMaxKeptBytes) {
        unmap_pages(buffer, bytes);
        return;
    }
    while (!buffers.empty() && (buffers.size() >= kMaxKept || kept_bytes() + bytes > kMaxKeptBytes)) {
        unmap_pages(buffers.front().buffer, buffers.front().bytes);  // the oldest goes first
        buffers.erase(buffers.begin());
    }
    buffers.push_back(Kept{buffer, bytes});
}

}  // namespace gdi
