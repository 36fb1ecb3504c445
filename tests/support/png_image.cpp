#include "support/png_image.h"

#include <png.h>

#include <cstring>

namespace benchtest {

bool read_png(const std::string &path, RgbaImage *image) {
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGBA;
    // 16-bit samples without a gAMA or sRGB chunk are sRGB values too, not linear light.
    png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    image->width = int(png.width);
    image->height = int(png.height);
    image->rgba.assign(PNG_IMAGE_SIZE(png), 0);
    bool ok = png_image_finish_read(&png, nullptr, image->rgba.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

}  // namespace benchtest
