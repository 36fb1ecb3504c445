// The library reports errors through a callback that must not return; it jumps back to the call
// that entered the library, which therefore holds no objects with destructors, and everything the
// library allocated goes with jpeg_destroy_decompress.
#include "codecs/jpeg_rows.h"

#include <jerror.h>

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

}  // namespace

struct JpegRows::State {
    jpeg_decompress_struct cinfo = {};
    JpegTrap trap;
    jpeg_progress_mgr progress = {};
    bool created = false;
    bool started = false;
    bool failed = false;
    bool cmyk = false;
    std::vector<JSAMPROW> pointers;
    std::vector<JSAMPLE> cmyk_row;

    ~State() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    Status fail() {
        failed = true;
        return Status::Failed;
    }
    // Arms the trap for a call on an open decoder; rows need the decompression started.
    bool usable(Message *message) {
        trap.message = message;
        return !failed;
    }
    void start() {
        if (!started) jpeg_start_decompress(&cinfo);
        started = true;
    }
};

JpegRows::JpegRows() : state_(new State) {}

JpegRows::~JpegRows() = default;

// Grey, YCbCr and RGB convert to BGRA in the library; CMYK and YCCK come out as CMYK. Anything
// else fails in jpeg_start_decompress. The Exif orientation is not applied.
Status JpegRows::open(const uint8_t *data, size_t size, Message *message) {
    State &s = *state_;
    j_decompress_ptr cinfo = &s.cinfo;
    cinfo->err = arm(&s.trap, message, on_message);
    if (setjmp(s.trap.jump)) return s.fail();
    jpeg_create_decompress(cinfo);
    s.created = true;
    s.progress.progress_monitor = on_progress;
    cinfo->progress = &s.progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    s.cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = s.cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    return Status::Ok;
}

int JpegRows::width() const { return int(state_->cinfo.image_width); }

int JpegRows::height() const { return int(state_->cinfo.image_height); }

bool JpegRows::single_scan() const { return !jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&state_->cinfo)); }

Status JpegRows::crop(int *first, int *count, Message *message) {
    State &s = *state_;
    if (!s.usable(message)) return Status::Failed;
    if (setjmp(s.trap.jump)) return s.fail();
    s.start();
    auto offset = JDIMENSION(*first), columns = JDIMENSION(*count);
    jpeg_crop_scanline(&s.cinfo, &offset, &columns);
    *first = int(offset);
    *count = int(columns);
    return Status::Ok;
}

Status JpegRows::read(uint8_t *rows, size_t stride, int count, Message *message) {
    State &s = *state_;
    if (!s.usable(message)) return Status::Failed;
    j_decompress_ptr cinfo = &s.cinfo;
    if (setjmp(s.trap.jump)) return s.fail();
    s.start();
    if (s.cmyk) {
        s.cmyk_row.resize(size_t(cinfo->output_width) * 4);
        JSAMPROW row = s.cmyk_row.data();
        for (int i = 0; i < count; ++i) {
            jpeg_read_scanlines(cinfo, &row, 1);
            cmyk_to_bgra(row, int(cinfo->output_width), cinfo->saw_Adobe_marker, reinterpret_cast<uint32_t *>(rows + i * stride));
        }
        return Status::Ok;
    }
    s.pointers.resize(size_t(count));
    for (int i = 0; i < count; ++i) s.pointers[size_t(i)] = rows + size_t(i) * stride;
    for (int done = 0; done < count;)
        done += int(jpeg_read_scanlines(cinfo, s.pointers.data() + done, JDIMENSION(count - done)));
    return Status::Ok;
}

Status JpegRows::skip(int count, Message *message) {
    State &s = *state_;
    if (!s.usable(message)) return Status::Failed;
    if (setjmp(s.trap.jump)) return s.fail();
    s.start();
    jpeg_skip_scanlines(&s.cinfo, JDIMENSION(count));
    return Status::Ok;
}

Status JpegRows::check(Message *message) {
    std::vector<uint32_t> last_row(static_cast<size_t>(width()));
    Status status = skip(height() - 1 - int(state_->cinfo.output_scanline), message);
    if (status != Status::Ok) return status;
    return read(reinterpret_cast<uint8_t *>(last_row.data()), last_row.size() * 4, 1, message);
}

}  // namespace codecs
