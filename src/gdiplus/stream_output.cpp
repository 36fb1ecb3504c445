#include "gdiplus/stream_output.h"

#include <cstdint>

#include "com/memory_stream.h"

namespace gdiplus {

bool StreamSink::write(const void *bytes, size_t count) {
    const uint8_t *next = static_cast<const uint8_t *>(bytes);
    while (count > 0) {
        ULONG chunk = ULONG(count < 0x40000000u ? count : 0x40000000u);
        ULONG written = 0;
        if (stream_->Write(next, chunk, &written) != S_OK || written != chunk) return false;
        next += chunk;
        count -= chunk;
    }
    return true;
}

void StreamSink::expect(size_t bytes) {
    if (auto *memory = dynamic_cast<com::MemoryStream *>(stream_)) memory->make_room(bytes);
}

}  // namespace gdiplus
