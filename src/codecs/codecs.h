// The functions of each format, one file per format, as the table's rows name them.
#pragma once
#include "codecs/formats.h"

namespace codecs {

Status decode_bmp(const uint8_t *data, size_t size, Raster *out, Message *message);
Status encode_bmp(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

Status decode_jpeg(const uint8_t *data, size_t size, Raster *out, Message *message);
// Chroma is subsampled 4:2:0 at every quality.
Status encode_jpeg(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

Status decode_png(const uint8_t *data, size_t size, Raster *out, Message *message);
Status encode_png(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

}  // namespace codecs
