// Readers of the bench's raw pixel files, a span of pixels at a time.
#pragma once
#include <cstddef>
#include <cstdint>

namespace inspect {

// Bytes of a 24-bit DIB row: whole 32-bit words.
inline size_t row_stride24(int width) { return (size_t(width) * 24 + 31) / 32 * 4; }

// The bytes of the raw capture (new.bmp: 24-bit top-down rows of row_stride24 bytes whose padding
// is 0, no header) that hold pixels [first, first + count): from `begin` to `end`, with the padding
// of every row whose last pixel is among them.
struct ByteRange {
    uint64_t begin, end;
};
ByteRange raw_capture_bytes(int width, uint64_t first, size_t count);

// Those pixels from those bytes. Throws Refusal at a padding byte that is not 0, its offset
// counted from the range's start.
void read_raw_capture(const uint8_t *bytes, int width, uint64_t first, size_t count, uint8_t *bgr);

// `count` pixels of the device dump (dump type 0): red, green, blue as raw bytes and a space for
// every pixel. Throws Refusal at the first fault, its offset counted from `bytes`.
void read_device_dump(const uint8_t *bytes, size_t count, uint8_t *bgr);

}  // namespace inspect
