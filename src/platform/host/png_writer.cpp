#include "host/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace host {
namespace {

using File = std::unique_ptr<FILE, int (*)(FILE *)>;  // fclose: the C runtime's, via the layer

void fail(png_structp png, png_const_charp message) {
    *static_cast<std::string *>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

// 0x00RRGGBB pixels as R, G, B bytes.
void fill_rgb_row(const uint32_t *pixels, int width, png_byte *row) {
    for (int x = 0; x < width; ++x) {
        row[3 * x] = png_byte(pixels[x] >> 16);
        row[3 * x + 1] = png_byte(pixels[x] >> 8);
        row[3 * x + 2] = png_byte(pixels[x]);
    }
}

bool encode(FILE *file, const display::Frame &frame, std::string *error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, fail, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory";
        return false;
    }
    std::vector<png_byte> row(size_t(frame.width) * 3);
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < frame.height; ++y) {
            fill_rgb_row(&frame.pixels[size_t(y) * frame.width], frame.width, row.data());
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return ok;
}

}  // namespace

bool write_png(const std::string &path, const display::Frame &frame, std::string *error) {
    if (frame.width <= 0 || frame.height <= 0) {
        *error = "no window was shown";
        return false;
    }
    File file(std::fopen(path.c_str(), "wb"), fclose);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    if (!encode(file.get(), frame, error)) return false;
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace host
