// PNG decoding through libpng. Errors jump back to the decoding function (libpng's own setjmp
// scheme), which holds no objects with destructors; png_destroy_read_struct frees the rest.
// Ancillary chunks (gamma, colour profiles, background) are ignored: the pixels are taken as
// stored. Chunk CRC errors fail the load, as libpng reports them by default for critical chunks.
#include <png.h>

#include <cstring>

#include "codecs/codecs.h"
#include "codecs/png_errors.h"

namespace codecs {
namespace {

struct Source {
    const uint8_t *data;
    size_t size;
    size_t offset;
};

void read_source(png_structp png, png_bytep out, size_t count) {
    Source *source = static_cast<Source *>(png_get_io_ptr(png));
    if (count > source->size - source->offset) png_error(png, "truncated");
    std::memcpy(out, source->data + source->offset, count);
    source->offset += count;
}

// Every colour type and depth becomes 8-bit B, G, R, A: palettes, low-depth grey and tRNS expand,
// 16-bit channels are scaled, grey is copied to all three channels and opaque images get 255.
// Returns the number of passes over the rows (7 for interlaced images).
int request_bgra(png_structp png) {
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    return png_set_interlace_handling(png);
}

Status decode(png_structp png, png_infop info, Raster *out) {
    if (setjmp(png_jmpbuf(png))) return Status::Failed;
    png_read_info(png, info);
    Status room = out->allocate(png_get_image_width(png, info), png_get_image_height(png, info));
    if (room != Status::Ok) return room;
    out->has_alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                     png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    int passes = request_bgra(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(out->width) * 4) return Status::Failed;
    // Each pass writes only its own pixels of a row, so every pixel is written exactly once.
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < out->height; ++y) png_read_row(png, reinterpret_cast<png_bytep>(out->row(y)), nullptr);
    // Reading to the end checks the CRC of the last image data chunk.
    png_read_end(png, nullptr);
    return Status::Ok;
}

}  // namespace

Status decode_png(const uint8_t *data, size_t size, Raster *out, Message *message) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, message, png_fail, png_ignore_warning);
    if (!png) return Status::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Status::OutOfMemory;
    }
    Source source{data, size, 0};
    png_set_read_fn(png, &source, read_source);
    Status status = decode(png, info, out);
    png_destroy_read_struct(&png, &info, nullptr);
    return status;
}

}  // namespace codecs
