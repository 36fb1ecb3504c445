// PNG encoding through libpng into the caller's stream: 8-bit RGB, or RGBA when the image has
// alpha. Errors jump back to the encoding function (libpng's setjmp scheme), which holds no
// objects with destructors.
#include <png.h>

#include "gdiplus/codecs.h"
#include "gdiplus/png_errors.h"
#include "gdiplus/stream_output.h"

namespace gdiplus {
namespace {

struct Sink {
    IStream *stream;
    bool write_failed;
};

void write_sink(png_structp png, png_bytep bytes, size_t count) {
    Sink *sink = static_cast<Sink *>(png_get_io_ptr(png));
    if (!write_all(sink->stream, bytes, count)) {
        sink->write_failed = true;
        png_error(png, "stream write failed");
    }
}

void flush_sink(png_structp) {}

Gdiplus::Status encode(png_structp png, png_infop info, const Raster &image, Sink *sink) {
    if (setjmp(png_jmpbuf(png))) return sink->write_failed ? Gdiplus::Win32Error : Gdiplus::GenericError;
    png_set_write_fn(png, sink, write_sink, flush_sink);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 image.has_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!image.has_alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(image.row(y)));
    png_write_end(png, nullptr);
    return Gdiplus::Ok;
}

}  // namespace

Gdiplus::Status encode_png(const Raster &image, const Gdiplus::EncoderParameters *, IStream *stream,
                           CodecMessage *message) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, png_fail, png_ignore_warning);
    if (!png) return Gdiplus::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return Gdiplus::OutOfMemory;
    }
    Sink sink{stream, false};
    Gdiplus::Status status = encode(png, info, image, &sink);
    png_destroy_write_struct(&png, &info);
    return status;
}

}  // namespace gdiplus
