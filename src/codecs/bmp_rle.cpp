#include "codecs/bmp_rle.h"

namespace codecs {
namespace {

class IndexWriter {
public:
    IndexWriter(int width, int height, uint8_t *rows, size_t stride)
        : width_(width), height_(height), rows_(rows), stride_(stride) {}

    bool done() const { return y_ >= height_; }
    void put(uint8_t index) {
        if (x_ >= width_) return;
        rows_[size_t(y_) * stride_ + size_t(x_)] = index;
        ++x_;
    }
    void next_line() {
        x_ = 0;
        ++y_;
    }
    void move(int dx, int dy) {
        x_ = x_ + dx < width_ ? x_ + dx : width_;
        y_ += dy;
    }

private:
    int width_, height_;
    uint8_t *rows_;
    size_t stride_;
    int x_ = 0, y_ = 0;
};

// Index i of packed data: whole bytes at 8 bits, high nibble first at 4.
uint8_t index_at(const uint8_t *data, int i, int bits) {
    if (bits == 8) return data[i];
    uint8_t byte = data[i / 2];
    return uint8_t(i % 2 ? byte & 0x0F : byte >> 4);
}

enum Escape { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

}  // namespace

void expand_rle(const uint8_t *codes, size_t size, int bits, int width, int height, uint8_t *rows, size_t stride) {
    IndexWriter out(width, height, rows, stride);
    size_t at = 0;
    while (size - at >= 2 && !out.done()) {
        int count = codes[at];
        uint8_t value = codes[at + 1];
        at += 2;
        if (count > 0) {  // a run of one index (8 bits) or two alternating ones (4 bits)
            uint8_t first = bits == 8 ? value : uint8_t(value >> 4);
            uint8_t second = bits == 8 ? value : uint8_t(value & 0x0F);
            for (int i = 0; i < count; ++i) out.put(i % 2 ? second : first);
        } else if (value == kEndOfLine) {
            out.next_line();
        } else if (value == kEndOfBitmap) {
            return;
        } else if (value == kDelta) {
            if (size - at < 2) return;
            out.move(codes[at], codes[at + 1]);
            at += 2;
        } else {  // `value` literal indices, padded to a 16-bit boundary
            size_t bytes = bits == 8 ? value : (size_t(value) + 1) / 2;
            if (size - at < bytes) return;
            for (int i = 0; i < value; ++i) out.put(index_at(codes + at, i, bits));
            size_t padded = (bytes + 1) & ~size_t(1);
            at = padded < size - at ? at + padded : size;
        }
    }
}

}  // namespace codecs
