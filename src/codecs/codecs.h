// The functions of each codec, one file per format, as the codec table's rows name them.
#pragma once
#include "gdiplus/codec_table.h"

namespace gdiplus {

Gdiplus::Status decode_bmp(const uint8_t *data, size_t size, Raster *out, CodecMessage *message);
Gdiplus::Status encode_bmp(const Raster &image, const Gdiplus::EncoderParameters *params, IStream *stream,
                           CodecMessage *message);

Gdiplus::Status decode_jpeg(const uint8_t *data, size_t size, Raster *out, CodecMessage *message);
// Takes the quality, 0..100 on libjpeg's scale with the standard tables, from EncoderQuality.
Gdiplus::Status encode_jpeg(const Raster &image, const Gdiplus::EncoderParameters *params, IStream *stream,
                            CodecMessage *message);

Gdiplus::Status decode_png(const uint8_t *data, size_t size, Raster *out, CodecMessage *message);
Gdiplus::Status encode_png(const Raster &image, const Gdiplus::EncoderParameters *params, IStream *stream,
                           CodecMessage *message);

}  // namespace gdiplus
