// A JPEG decoded a band of rows at a time, top first, into 32-bit rows as decode_jpeg gives them
// (B, G, R, 255 in memory order), so that a picture can be re-encoded or drawn without ever
// holding all its pixels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/status.h"

namespace codecs {

class JpegRows {
public:
    JpegRows();
    ~JpegRows();
    JpegRows(const JpegRows &) = delete;
    JpegRows &operator=(const JpegRows &) = delete;

    // Reads the header and gets ready to decode: Failed for damaged or unsupported data. The data
    // must outlive the object. After any failure the object decodes nothing more.
    Status open(const uint8_t *data, size_t size, Message *message);

    int width() const;
    int height() const;
    // Whether the file holds its picture in one scan: decoding it in bands then holds only a band.
    bool single_scan() const;

    // Decodes only the columns from `first` on, `count` of them, widened as the file's blocks
    // need: the rows then start at column *first and are *count pixels wide. Before any rows.
    Status crop(int *first, int *count, Message *message);
    // The next `count` rows, each `stride` bytes from the last.
    Status read(uint8_t *rows, size_t stride, int count, Message *message);
    // Passes over the next `count` rows without making their pixels.
    Status skip(int count, Message *message);
    // Decodes what is left of a single-scan file's data to its end, making the pixels of only
    // its last row: what decoding the whole picture would find wrong, at a fraction of the cost.
    Status check(Message *message);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace codecs
