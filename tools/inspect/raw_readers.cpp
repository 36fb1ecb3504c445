#include "raw_readers.h"

#include <cstring>
#include <string>

#include "refusal.h"

namespace inspect {
namespace {

// The file's length against the one the picture's size asks for.
void check_length(size_t size, size_t expected, const Picture &picture, const char *what) {
    if (size == expected) return;
    std::string text = std::to_string(expected) + " bytes (" + what + " of " + std::to_string(picture.width) +
                       " x " + std::to_string(picture.height) + ")";
    if (size < expected) throw Refusal{text + ", but the file ends early", int64_t(size)};
    throw Refusal{text + ", then the end of the file", int64_t(expected)};
}

}  // namespace

void read_raw_capture(const uint8_t *data, size_t size, Picture *picture) {
    size_t stride = row_stride24(picture->width);
    size_t row_bytes = size_t(picture->width) * 3;
    check_length(size, stride * size_t(picture->height), *picture, "a raw capture");
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t *row = data + stride * size_t(y);
        std::memcpy(&picture->bgr[row_bytes * size_t(y)], row, row_bytes);
        for (size_t pad = row_bytes; pad < stride; ++pad)
            if (row[pad] != 0) throw Refusal{"a padding byte of 0 at the end of the row", int64_t(row - data + pad)};
    }
}

void read_device_dump(const uint8_t *data, size_t size, Picture *picture) {
    size_t count = picture->pixels();
    size_t whole = size / 4 < count ? size / 4 : count;
    uint8_t *out = picture->bgr.data();
    for (size_t i = 0; i < whole; ++i, data += 4, out += 3) {
        if (data[3] != ' ') throw Refusal{"a space after red, green and blue", int64_t(i * 4 + 3)};
        out[0] = data[2];
        out[1] = data[1];
        out[2] = data[0];
    }
    check_length(size, count * 4, *picture, "a device dump");
}

}  // namespace inspect
