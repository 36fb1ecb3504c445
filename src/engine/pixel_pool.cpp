#include "engine/pixel_pool.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace gdi {
namespace {

// Small buffers are cheap to get anew; only large ones are kept, and not too many of them.
constexpr size_t kSmallest = 64 * 1024;
constexpr size_t kMaxKept = 4;
constexpr size_t kMaxKeptBytes = size_t(64) << 20;

struct FreeBuffer {
    void operator()(uint8_t *buffer) const { std::free(buffer); }
};

struct Kept {
    std::unique_ptr<uint8_t, FreeBuffer> buffer;
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
        uint8_t *buffer = buffers[i].buffer.release();
        buffers.erase(buffers.begin() + ptrdiff_t(i));
        std::memset(buffer, 0, bytes);
        return buffer;
    }
    return static_cast<uint8_t *>(std::calloc(bytes ? bytes : 1, 1));
}

void release_buffer(uint8_t *buffer, size_t bytes) {
    if (!buffer) return;
    std::vector<Kept> &buffers = kept();
    if (bytes < kSmallest || bytes > kMaxKeptBytes) {
        std::free(buffer);
        return;
    }
    while (!buffers.empty() && (buffers.size() >= kMaxKept || kept_bytes() + bytes > kMaxKeptBytes))
        buffers.erase(buffers.begin());  // the oldest goes first
    buffers.push_back(Kept{std::unique_ptr<uint8_t, FreeBuffer>(buffer), bytes});
}

}  // namespace gdi
