// JPEG decoding through libjpeg-turbo. The library reports errors through a callback that must
// not return; it jumps back to the decoding function, which therefore holds no objects with
// destructors, and everything the library allocated goes with jpeg_destroy_decompress.
#include <jerror.h>

#include "codecs/codecs.h"
#include "codecs/jpeg_errors.h"

namespace codecs {
namespace {

// Real files have about ten scans; crafted progressive files use thousands to make decoding
// take quadratic time.
constexpr int kMaxScans = 1000;

// Warnings about damaged data are tolerated, but data that ends before the picture does means a
// truncated file: the bytes run out, or a scan meets the end-of-image marker. Either way the
// rest would be made up, and a file claiming a huge picture would cost the memory it claims.
void on_message(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    int code = cinfo->err->msg_code;
    bool image_ended = code == JWRN_HIT_MARKER && reinterpret_cast<j_decompress_ptr>(cinfo)->unread_marker == JPEG_EOI;
    if (code == JWRN_JPEG_EOF || image_ended) jpeg_fail(cinfo);
}

void on_progress(j_common_ptr cinfo) {
    auto *decoder = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decoder->input_scan_number > kMaxScans) jpeg_fail_with(cinfo, "too many scans");
}

// CMYK as Adobe writes it is stored inverted; others store it plainly.
void cmyk_to_bgra(const JSAMPLE *cmyk, int width, bool inverted, uint32_t *out) {
    const unsigned flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x, cmyk += 4) {
        unsigned k = cmyk[3] ^ flip;
        unsigned r = ((cmyk[0] ^ flip) * k + 127) / 255;
        unsigned g = ((cmyk[1] ^ flip) * k + 127) / 255;
        unsigned b = ((cmyk[2] ^ flip) * k + 127) / 255;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

void read_cmyk(j_decompress_ptr cinfo, Raster *out) {
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  cinfo->output_width * 4, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        int y = int(cinfo->output_scanline);
        jpeg_read_scanlines(cinfo, row, 1);
        cmyk_to_bgra(row[0], out->width, cinfo->saw_Adobe_marker, out->row(y));
    }
}

// Rows go straight into the raster: libjpeg-turbo writes B, G, R, 255 in memory order.
void read_direct(j_decompress_ptr cinfo, Raster *out) {
    auto rows = static_cast<JSAMPROW *>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, sizeof(JSAMPROW) * size_t(out->height)));
    for (int y = 0; y < out->height; ++y) rows[y] = reinterpret_cast<JSAMPROW>(out->row(y));
    while (cinfo->output_scanline < cinfo->output_height)
        jpeg_read_scanlines(cinfo, rows + cinfo->output_scanline, cinfo->output_height - cinfo->output_scanline);
}

Status decode(j_decompress_ptr cinfo, JpegTrap *trap, jpeg_progress_mgr *progress, const uint8_t *data,
                       size_t size, Raster *out) {
    if (setjmp(trap->jump)) return Status::Failed;
    jpeg_create_decompress(cinfo);
    progress->progress_monitor = on_progress;
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    Status room = out->allocate(cinfo->image_width, cinfo->image_height);
    if (room != Status::Ok) return room;
    // Grey, YCbCr and RGB convert to BGRA in the library; CMYK and YCCK come out as CMYK.
    // Anything else fails in jpeg_start_decompress. The Exif orientation is not applied.
    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(cinfo);
    if (cmyk)
        read_cmyk(cinfo, out);
    else
        read_direct(cinfo, out);
    // No jpeg_finish_decompress: every pixel is in, and what follows the last scan does not matter.
    return Status::Ok;
}

}  // namespace

Status decode_jpeg(const uint8_t *data, size_t size, Raster *out, Message *message) {
    jpeg_decompress_struct cinfo = {};
    JpegTrap trap;
    cinfo.err = arm(&trap, message, on_message);
    jpeg_progress_mgr progress;
    Status status = decode(&cinfo, &trap, &progress, data, size, out);
    jpeg_destroy_decompress(&cinfo);
    return status;
}

}  // namespace codecs
