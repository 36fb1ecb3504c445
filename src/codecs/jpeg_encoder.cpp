// JPEG encoding through libjpeg-turbo, straight into the sink through a small buffer.
// Chroma is subsampled 4:2:0 at every quality, as the platform's own JPEG encoder does: files
// then match what the program writes on Windows in size and character, and encoding is faster
// than at 4:4:4. Errors jump back to the encoding function, which holds no objects with
// destructors; jpeg_destroy_compress frees what the library allocated.
#include <jerror.h>

#include <algorithm>

#include "codecs/codecs.h"
#include "codecs/jpeg_errors.h"

namespace codecs {
namespace {

struct SinkDestination {
    jpeg_destination_mgr manager;
    ByteSink *sink;
    bool write_failed;
    JOCTET buffer[64 * 1024];
};

void ignore_message(j_common_ptr, int) {}

SinkDestination *destination_of(j_compress_ptr cinfo) { return reinterpret_cast<SinkDestination *>(cinfo->dest); }

void start_buffer(j_compress_ptr cinfo) {
    SinkDestination *dest = destination_of(cinfo);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = sizeof dest->buffer;
}

void flush(j_compress_ptr cinfo, size_t count) {
    SinkDestination *dest = destination_of(cinfo);
    if (!dest->sink->write(dest->buffer, count)) {
        dest->write_failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

boolean flush_full_buffer(j_compress_ptr cinfo) {
    flush(cinfo, sizeof destination_of(cinfo)->buffer);
    start_buffer(cinfo);
    return TRUE;
}

void flush_rest(j_compress_ptr cinfo) {
    SinkDestination *dest = destination_of(cinfo);
    flush(cinfo, sizeof dest->buffer - dest->manager.free_in_buffer);
}

// libjpeg-turbo's own bound for a 4:2:0 file: 3 bytes a pixel of whole 16 x 16 blocks, and the headers.
size_t size_bound(const gdi::Surface &image) {
    auto padded = [](int n) { return (size_t(n) + 15) / 16 * 16; };
    return padded(image.width) * padded(image.height) * 3 + 2048;
}

// Rows of a whole surface, each band a part of it.
class SurfaceRows final : public RowSource {
public:
    explicit SurfaceRows(const gdi::Surface &image) : image_(image) {}
    Status band(int first, int count, gdi::Surface *rows, Message *) override {
        *rows = image_;
        rows->bits = image_.row(first);
        rows->height = count;
        rows->stride = image_.bottom_up ? -image_.stride : image_.stride;
        rows->bottom_up = false;
        return Status::Ok;
    }

private:
    const gdi::Surface &image_;
};

constexpr int kBandRows = 16;

Status encode(j_compress_ptr cinfo, JpegTrap *trap, SinkDestination *dest, const gdi::Surface &shape,
              RowSource *source, int quality, Message *message) {
    if (setjmp(trap->jump)) return dest->write_failed ? Status::SinkRefused : Status::Failed;
    jpeg_create_compress(cinfo);
    cinfo->dest = &dest->manager;
    cinfo->image_width = JDIMENSION(shape.width);
    cinfo->image_height = JDIMENSION(shape.height);
    bool packed = shape.format->bpp == 24;
    cinfo->input_components = packed ? 3 : 4;
    cinfo->in_color_space = packed ? JCS_EXT_BGR : JCS_EXT_BGRX;  // alpha is dropped
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    dest->sink->expect(size_bound(shape));
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        int first = int(cinfo->next_scanline);
        int count = std::min(kBandRows, shape.height - first);
        gdi::Surface rows;
        Status given = source->band(first, count, &rows, message);
        if (given != Status::Ok) return given;
        for (int i = 0; i < count; ++i) {
            JSAMPROW row = rows.row(i);
            jpeg_write_scanlines(cinfo, &row, 1);
        }
    }
    jpeg_finish_compress(cinfo);
    return Status::Ok;
}

}  // namespace

Status encode_jpeg_rows(const gdi::Surface &shape, RowSource *source, int quality, ByteSink *sink, Message *message) {
    jpeg_compress_struct cinfo = {};
    JpegTrap trap;
    cinfo.err = arm(&trap, message, ignore_message);
    SinkDestination dest;
    dest.manager.init_destination = start_buffer;
    dest.manager.empty_output_buffer = flush_full_buffer;
    dest.manager.term_destination = flush_rest;
    dest.sink = sink;
    dest.write_failed = false;
    Status status = encode(&cinfo, &trap, &dest, shape, source, quality, message);
    jpeg_destroy_compress(&cinfo);
    return status;
}

Status encode_jpeg(const gdi::Surface &image, int quality, ByteSink *sink, Message *message) {
    SurfaceRows rows(image);
    return encode_jpeg_rows(image, &rows, quality, sink, message);
}

}  // namespace codecs
