// Reading a BITMAPINFO into a surface description: the engine reads the info block.
#include "engine/dib_layout.h"
#include "gdi/gdi_internal.h"

namespace gdi {

bool dib_dimensions(const BITMAPINFOHEADER *header, int64_t *width, int64_t *height) {
    DibHeader h;
    if (!read_dib_header(reinterpret_cast<const uint8_t *>(header), &h)) return false;
    *width = h.width;
    *height = h.height;
    return true;
}

bool describe_dib(const BITMAPINFO *info, Surface *out, size_t *image_bytes) {
    const auto *block = reinterpret_cast<const uint8_t *>(info);
    DibHeader h;
    return info && read_dib_header(block, &h) && describe_dib_layout(h, block, out, image_bytes);
}

}  // namespace gdi
