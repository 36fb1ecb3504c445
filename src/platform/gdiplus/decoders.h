// Image decoders. Each fills the raster from a file's bytes in memory and returns Ok, OutOfMemory
// (over the pixel cap or without memory) or GenericError (corrupt, truncated or unsupported data).
#pragma once
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "gdiplus/raster.h"

namespace gdiplus {

Gdiplus::Status decode_jpeg(const uint8_t *data, size_t size, Raster *out);
Gdiplus::Status decode_png(const uint8_t *data, size_t size, Raster *out);
Gdiplus::Status decode_bmp(const uint8_t *data, size_t size, Raster *out);

// Picks the decoder by the leading bytes, whatever the file is called: UnknownImageFormat when
// none matches (an empty file included).
Gdiplus::Status decode_image(const uint8_t *data, size_t size, Raster *out);

}  // namespace gdiplus
