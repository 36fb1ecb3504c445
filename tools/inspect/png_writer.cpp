#include "png_writer.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "refusal.h"

namespace inspect {
namespace {

void fail(png_structp png, png_const_charp message) {
    *static_cast<std::string *>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

// Empty on success, else libpng's reason.
std::string encode(FILE *file, const Picture &picture, int level) {
    std::string error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, fail, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "memory for the encoder";
    }
    std::vector<png_bytep> rows(size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(picture.at(0, y));
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_compression_level(png, level);
        png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return error;
}

}  // namespace

void write_png(const std::string &path, const Picture &picture, int level) {
    if (picture.width <= 0 || picture.height <= 0) throw Refusal{"a picture of at least one pixel to write", -1, path};
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) throw Refusal{std::string("a PNG file that can be written (") + std::strerror(errno) + ")", -1, path};
    mode_t mask = umask(0);  // mkstemp makes the file private; the view gets the usual mode
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE *file = fdopen(fd, "wb");
    std::string error = file ? encode(file, picture, level) : std::strerror(errno);
    if (file && std::fflush(file) != 0 && error.empty()) error = std::strerror(errno);
    if ((file ? std::fclose(file) : close(fd)) != 0 && error.empty()) error = std::strerror(errno);
    if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) error = std::strerror(errno);
    if (!error.empty()) {
        std::remove(temporary.c_str());
        throw Refusal{"a PNG file that can be written (" + error + ")", -1, path};
    }
}

}  // namespace inspect
