#include "png_writer.h"

#include "host/png_writer.h"
#include "refusal.h"

namespace inspect {

void write_png(const std::string &path, const Picture &picture) {
    if (picture.width <= 0 || picture.height <= 0) throw Refusal{"a picture of at least one pixel to write", -1, path};
    auto fill_row = [&](int y, uint8_t *rgb) {
        const uint8_t *bgr = picture.at(0, y);
        for (int x = 0; x < picture.width; ++x, bgr += 3, rgb += 3) {
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
        }
    };
    std::string error;
    if (!host::write_rgb_png(path, picture.width, picture.height, fill_row, &error))
        throw Refusal{"a PNG file that can be written (" + error + ")", -1, path};
}

}  // namespace inspect
