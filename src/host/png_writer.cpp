#include "host/png_writer.h"

#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sys/signals.h"
#include "sys/temporary_files.h"

namespace host {
namespace {

// Names already taken (a killed run's leftover with a reused process id) are skipped this often.
constexpr int kNameAttempts = 16;

// Keeps the first reason: a failed write's system error comes before libpng's own message.
void fail(png_structp png, png_const_charp message) {
    auto *error = static_cast<std::string *>(png_get_error_ptr(png));
    if (error->empty()) *error = message;
    png_longjmp(png, 1);
}

void write_bytes(png_structp png, png_bytep bytes, size_t count) {
    if (std::fwrite(bytes, 1, count, static_cast<FILE *>(png_get_io_ptr(png))) == count) return;
    *static_cast<std::string *>(png_get_error_ptr(png)) = std::strerror(errno);
    png_error(png, "write failed");
}

void flush_bytes(png_structp) {}

// 0x00RRGGBB pixels as R, G, B bytes.
void fill_rgb_row(const uint32_t *pixels, int width, png_byte *row) {
    for (int x = 0; x < width; ++x) {
        row[3 * x] = png_byte(pixels[x] >> 16);
        row[3 * x + 1] = png_byte(pixels[x] >> 8);
        row[3 * x + 2] = png_byte(pixels[x]);
    }
}

bool encode(FILE *file, int width, int height, const RgbRowFiller &fill_row, std::string *error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, fail, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory";
        return false;
    }
    std::vector<png_byte> row(size_t(width) * 3);
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, file, write_bytes, flush_bytes);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            fill_row(y, row.data());
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return ok;
}


// A new file beside path that no other run uses, opened for writing; null (errno set) when none
// can be created.
FILE *create_temporary(const std::string &path, std::string *name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = path + "." + std::to_string(getpid()) + "." + std::to_string(attempt) + ".tmp";
        sys::SignalsHeld held;
        int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            sys::remember_temporary(name->c_str());  // removed should a signal end the process
            return fdopen(fd, "wb");
        }
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// Writes the whole PNG and closes the file; false, with the reason, when any of it failed.
bool write_and_close(FILE *file, int width, int height, const RgbRowFiller &fill_row, std::string *error) {
    bool encoded = encode(file, width, height, fill_row, error);
    if (encoded && std::fflush(file) != 0) *error = std::strerror(errno);
    bool closed = fclose(file) == 0;
    if (encoded && error->empty() && !closed) *error = std::strerror(errno);
    return encoded && error->empty();
}

}  // namespace

bool write_rgb_png(const std::string &path, int width, int height, const RgbRowFiller &fill_row,
                   std::string *error) {
    error->clear();
    std::string temporary;
    FILE *file = create_temporary(path, &temporary);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    bool written = write_and_close(file, width, height, fill_row, error);
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = std::strerror(errno);
        written = false;
    }
    if (!written) unlink(temporary.c_str());
    sys::forget_temporary(temporary.c_str());
    return written;
}

bool write_png(const std::string &path, const display::Frame &frame, std::string *error) {
    if (frame.width <= 0 || frame.height <= 0) {
        *error = "no window was shown";
        return false;
    }
    auto fill_row = [&](int y, uint8_t *rgb) {
        fill_rgb_row(&frame.pixels[size_t(y) * frame.width], frame.width, rgb);
    };
    return write_rgb_png(path, frame.width, frame.height, fill_row, error);
}

}  // namespace host
