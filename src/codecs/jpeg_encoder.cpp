// JPEG encoding through libjpeg-turbo, straight into the caller's stream through a small buffer.
// Chroma is subsampled 4:2:0 at every quality, as the platform's own JPEG encoder does: files
// then match what the program writes on Windows in size and character, and encoding is faster
// than at 4:4:4. Errors jump back to the encoding function, which holds no objects with
// destructors; jpeg_destroy_compress frees what the library allocated.
#include <jerror.h>

#include "gdiplus/codecs.h"
#include "gdiplus/jpeg_errors.h"
#include "gdiplus/stream_output.h"

namespace gdiplus {
namespace {

struct StreamDestination {
    jpeg_destination_mgr manager;
    IStream *stream;
    bool write_failed;
    JOCTET buffer[64 * 1024];
};

constexpr int kDefaultQuality = 75;

void ignore_message(j_common_ptr, int) {}

StreamDestination *destination_of(j_compress_ptr cinfo) {
    return reinterpret_cast<StreamDestination *>(cinfo->dest);
}

void start_buffer(j_compress_ptr cinfo) {
    StreamDestination *dest = destination_of(cinfo);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = sizeof dest->buffer;
}

void flush(j_compress_ptr cinfo, size_t count) {
    StreamDestination *dest = destination_of(cinfo);
    if (!write_all(dest->stream, dest->buffer, count)) {
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
    StreamDestination *dest = destination_of(cinfo);
    flush(cinfo, sizeof dest->buffer - dest->manager.free_in_buffer);
}

// The quality from the encoder parameters: a single Long of 0..100 under EncoderQuality. Other
// parameters are ignored.
Gdiplus::Status quality_of(const Gdiplus::EncoderParameters *params, int *quality) {
    *quality = kDefaultQuality;
    if (!params) return Gdiplus::Ok;
    for (UINT i = 0; i < params->Count; ++i) {
        const Gdiplus::EncoderParameter &param = params->Parameter[i];
        if (param.Guid != Gdiplus::EncoderQuality) continue;
        if (param.Type != Gdiplus::EncoderParameterValueTypeLong || param.NumberOfValues != 1 || !param.Value)
            return Gdiplus::InvalidParameter;
        ULONG value = *static_cast<const ULONG *>(param.Value);
        if (value > 100) return Gdiplus::InvalidParameter;
        *quality = int(value);
    }
    return Gdiplus::Ok;
}

Gdiplus::Status encode(j_compress_ptr cinfo, JpegTrap *trap, StreamDestination *dest, const Raster &image,
                       int quality) {
    if (setjmp(trap->jump)) return dest->write_failed ? Gdiplus::Win32Error : Gdiplus::GenericError;
    jpeg_create_compress(cinfo);
    cinfo->dest = &dest->manager;
    cinfo->image_width = JDIMENSION(image.width);
    cinfo->image_height = JDIMENSION(image.height);
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRX;  // alpha is dropped
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        auto row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t *>(image.row(int(cinfo->next_scanline))));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return Gdiplus::Ok;
}

}  // namespace

Gdiplus::Status encode_jpeg(const Raster &image, const Gdiplus::EncoderParameters *params, IStream *stream,
                            CodecMessage *message) {
    int quality;
    Gdiplus::Status valid = quality_of(params, &quality);
    if (valid != Gdiplus::Ok) {
        message->set("the quality is not one Long of 0 to 100");
        return valid;
    }
    jpeg_compress_struct cinfo = {};
    JpegTrap trap;
    cinfo.err = arm(&trap, message, ignore_message);
    StreamDestination dest;
    dest.manager.init_destination = start_buffer;
    dest.manager.empty_output_buffer = flush_full_buffer;
    dest.manager.term_destination = flush_rest;
    dest.stream = stream;
    dest.write_failed = false;
    Gdiplus::Status status = encode(&cinfo, &trap, &dest, image, quality);
    jpeg_destroy_compress(&cinfo);
    return status;
}

}  // namespace gdiplus
