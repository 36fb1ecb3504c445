// The functions of each format, one file per format, as the table's rows name them.
#pragma once
#include "codecs/formats.h"

namespace codecs {

Status decode_bmp(const uint8_t *data, size_t size, Raster *out, Message *message);
Status encode_bmp(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

Status decode_jpeg(const uint8_t *data, size_t size, Raster *out, Message *message);
// Chroma is subsampled 4:2:0 at every quality.
Status encode_jpeg(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

// Rows given to an encoder a band at a time, from the top.
class RowSource {
public:
    // Rows first to first + count - 1 of the picture as a surface of `count` rows.
    virtual Status band(int first, int count, gdi::Surface *rows, Message *message) = 0;

protected:
    ~RowSource() = default;
};

// As encode_jpeg, the rows coming from the source; the shape gives the picture's size and format.
Status encode_jpeg_rows(const gdi::Surface &shape, RowSource *source, int quality, ByteSink *sink, Message *message);
// A JPEG file's picture encoded as encode_jpeg encodes it, holding only a band of its rows at a time.
Status reencode_jpeg(const uint8_t *data, size_t size, int quality, ByteSink *sink, Message *message);

Status decode_png(const uint8_t *data, size_t size, Raster *out, Message *message);
Status encode_png(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

}  // namespace codecs
