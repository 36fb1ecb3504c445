#include "support/claimed_size.h"

#include <zlib.h>

#include <stdexcept>

#include "support/bench_run.h"
#include "support/gdiplus_image.h"

namespace benchtest {
namespace {

std::string big_endian(unsigned value, int bytes) {
    std::string text;
    for (int i = bytes - 1; i >= 0; --i) text += char((value >> (8 * i)) & 0xFF);
    return text;
}

}  // namespace

std::string jpeg_claiming(int width, int height) {
    std::string jpeg = read_whole(image_path("jpeg/g/baseline420.jpg"));
    size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos) throw std::runtime_error("baseline420.jpg has no baseline frame header");
    jpeg.replace(sof + 5, 4, big_endian(unsigned(height), 2) + big_endian(unsigned(width), 2));
    return jpeg;
}

std::string png_claiming(int width, int height) {
    std::string png = read_whole(image_path("png/g/rgb8.png"));
    png.replace(16, 8, big_endian(unsigned(width), 4) + big_endian(unsigned(height), 4));
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(png.data() + 12), 17);
    png.replace(29, 4, big_endian(unsigned(crc), 4));
    return png;
}

}  // namespace benchtest
