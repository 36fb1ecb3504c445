#include "raw_readers.h"

#include <cstring>

#include "refusal.h"

namespace inspect {

ByteRange raw_capture_bytes(int width, uint64_t first, size_t count) {
    uint64_t stride = row_stride24(width), w = uint64_t(width);
    uint64_t last = first + count - 1;
    bool ends_row = last % w == w - 1;
    return {first / w * stride + first % w * 3, last / w * stride + (ends_row ? stride : (last % w + 1) * 3)};
}

void read_raw_capture(const uint8_t *bytes, int width, uint64_t first, size_t count, uint8_t *bgr) {
    size_t stride = row_stride24(width), row_bytes = size_t(width) * 3;
    const uint8_t *start = bytes;
    while (count > 0) {
        size_t x = size_t(first % uint64_t(width)), run = size_t(width) - x < count ? size_t(width) - x : count;
        std::memcpy(bgr, bytes, run * 3);
        bytes += run * 3, bgr += run * 3, first += run, count -= run;
        if (x + run < size_t(width)) break;  // the span ends inside this row
        for (size_t pad = row_bytes; pad < stride; ++pad, ++bytes)
            if (*bytes != 0) throw expected("a padding byte of 0 at the end of the row", int64_t(bytes - start));
    }
}

void read_device_dump(const uint8_t *bytes, size_t count, uint8_t *bgr) {
    for (size_t i = 0; i < count; ++i, bytes += 4, bgr += 3) {
        if (bytes[3] != ' ') throw expected("a space after red, green and blue", int64_t(i * 4 + 3));
        bgr[0] = bytes[2];
        bgr[1] = bytes[1];
        bgr[2] = bytes[0];
    }
}

}  // namespace inspect
