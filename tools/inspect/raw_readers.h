// Readers of the bench's raw pixel files, sized by the picture they fill.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture.h"

namespace inspect {

// Bytes of a 24-bit DIB row: whole 32-bit words.
inline size_t row_stride24(int width) { return (size_t(width) * 24 + 31) / 32 * 4; }

// The raw capture (new.bmp): 24-bit top-down rows of row_stride24 bytes whose padding is 0, no
// header. Throws Refusal at the first fault.
void read_raw_capture(const uint8_t *data, size_t size, Picture *picture);

// The device dump (dump type 0): red, green, blue as raw bytes and a space for every pixel, row
// by row. Throws Refusal at the first fault.
void read_device_dump(const uint8_t *data, size_t size, Picture *picture);

}  // namespace inspect
