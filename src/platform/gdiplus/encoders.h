// Image encoders. Each writes a whole file to the stream and returns Ok, Win32Error when the stream
// refuses bytes, or GenericError when the image cannot be encoded in the format.
#pragma once
#include <objbase.h>
#include <gdiplus.h>

#include "gdiplus/raster.h"

namespace gdiplus {

// quality 0..100, as libjpeg's quality scale with the standard tables.
Gdiplus::Status encode_jpeg(const Raster &image, int quality, IStream *stream);
Gdiplus::Status encode_png(const Raster &image, IStream *stream);
Gdiplus::Status encode_bmp(const Raster &image, IStream *stream);

}  // namespace gdiplus
