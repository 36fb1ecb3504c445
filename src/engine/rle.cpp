#include "engine/rle.h"

#include "engine/preconditions.h"
#include "engine/row_codecs.h"

namespace gdi {
namespace {

// Writes decoded pixels at a position that moves right along a row and up between rows.
class Cursor {
public:
    explicit Cursor(RlePicture &picture) : picture_(picture) {}
    void put(unsigned index) {
        if (x_ < picture_.width && line_ < picture_.height) {
            size_t at = size_t(picture_.height - 1 - line_) * size_t(picture_.width) + size_t(x_);
            picture_.index[at] = uint8_t(index);
            picture_.coded[at] = 1;
        }
        ++x_;
    }
    void end_of_line() {
        x_ = 0;
        ++line_;
    }
    void move(int dx, int dy) {
        x_ += dx;
        line_ += dy;
    }
    bool past_top() const { return line_ >= picture_.height; }

private:
    RlePicture &picture_;
    int64_t x_ = 0, line_ = 0;
};

// Index k of a run or literal: 8-bit codes take whole bytes, 4-bit ones alternate the nibbles.
unsigned nibble_or_byte(int bits, uint8_t byte, int k) { return bits == 8 ? byte : (k % 2 ? byte & 0x0F : byte >> 4); }

}  // namespace

RlePicture decode_rle(const uint8_t *data, size_t size, int bits, int width, int height) {
    RlePicture picture;
    picture.width = width;
    picture.height = height;
    picture.index.assign(size_t(width) * size_t(height), 0);
    picture.coded.assign(picture.index.size(), 0);
    Cursor cursor(picture);
    size_t at = 0;
    while (at + 2 <= size && !cursor.past_top()) {
        uint8_t count = data[at], code = data[at + 1];
        at += 2;
        if (count) {  // a run of one index (8 bits) or of two alternating ones (4 bits)
            for (int k = 0; k < count; ++k) cursor.put(nibble_or_byte(bits, code, k));
        } else if (code == 0) {
            cursor.end_of_line();
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (at + 2 > size) break;
            cursor.move(data[at], data[at + 1]);
            at += 2;
        } else {  // `code` literal indices, padded to a 16-bit boundary
            size_t bytes = bits == 8 ? code : (code + 1u) / 2;
            if (at + bytes > size) break;
            for (int k = 0; k < code; ++k) cursor.put(nibble_or_byte(bits, data[at + size_t(bits == 8 ? k : k / 2)], k));
            at += (bytes + 1) & ~size_t(1);
        }
    }
    return picture;
}

void draw_coded(const RlePicture &picture, const PixelFormat &format, const AxisMap &columns, const AxisMap &rows,
                const Surface &dst) {
    if (columns.source.empty() || rows.source.empty()) return;
    int count = int(columns.source.size());
    require_inside(dst, columns.first, rows.first, count, int(rows.source.size()), "draw_coded");
    const PixelFormat &out = *dst.format;
    RowReader read = reader_for(out);
    RowWriter write = writer_for(out);
    std::vector<uint32_t> row(static_cast<size_t>(count));
    for (size_t j = 0; j < rows.source.size(); ++j) {
        size_t base = size_t(rows.source[j]) * size_t(picture.width);
        uint8_t *target = dst.row(rows.first + int(j));
        read(out, target, columns.first, count, row.data());
        for (int i = 0; i < count; ++i) {
            size_t at = base + size_t(columns.source[size_t(i)]);
            if (picture.coded[at]) row[size_t(i)] = format.palette[picture.index[at]];
        }
        write(out, row.data(), count, target, columns.first);
    }
}

}  // namespace gdi
