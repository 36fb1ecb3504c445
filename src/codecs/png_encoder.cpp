// PNG encoding through libpng into the sink: 8-bit RGB, or RGBA when the image has alpha, from
// B, G, R rows of 24 or 32 bits as they are. Errors jump back to the encoding function (libpng's
// setjmp scheme), which holds no objects with destructors.
#include <png.h>

#include "codecs/codecs.h"
#include "codecs/png_errors.h"

namespace codecs {
namespace {

struct Sink {
    ByteSink *bytes;
    bool write_failed;
};

void write_sink(png_structp png, png_bytep bytes, size_t count) {
    Sink *sink = static_cast<Sink *>(png_get_io_ptr(png));
    if (!sink->bytes->write(bytes, count)) {
        sink->write_failed = true;
        png_error(png, "stream write failed");
    }
}

void flush_sink(png_structp) {}

Status encode(png_structp png, png_infop info, const gdi::Surface &image, Sink *sink) {
    if (setjmp(png_jmpbuf(png))) return sink->write_failed ? Status::SinkRefused : Status::Failed;
    bool alpha = image.format->has_alpha;
    png_set_write_fn(png, sink, write_sink, flush_sink);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha && image.format->bpp == 32) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte
    for (int y = 0; y < image.height; ++y) png_write_row(png, image.row(y));
    png_write_end(png, nullptr);
    return Status::Ok;
}

}  // namespace

Status encode_png(const gdi::Surface &image, int, ByteSink *sink, Message *message) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, png_fail, png_ignore_warning);
    if (!png) return Status::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return Status::OutOfMemory;
    }
    Sink state{sink, false};
    Status status = encode(png, info, image, &state);
    png_destroy_write_struct(&png, &info);
    return status;
}

}  // namespace codecs
