#include <cstring>

#include "gdiplus/decoders.h"

namespace gdiplus {
namespace {

bool starts_with(const uint8_t *data, size_t size, const char *magic, size_t length) {
    return size >= length && std::memcmp(data, magic, length) == 0;
}

}  // namespace

Gdiplus::Status decode_image(const uint8_t *data, size_t size, Raster *out) {
    if (starts_with(data, size, "\xFF\xD8\xFF", 3)) return decode_jpeg(data, size, out);
    if (starts_with(data, size, "\x89PNG\r\n\x1A\n", 8)) return decode_png(data, size, out);
    if (starts_with(data, size, "BM", 2)) return decode_bmp(data, size, out);
    return Gdiplus::UnknownImageFormat;
}

}  // namespace gdiplus
