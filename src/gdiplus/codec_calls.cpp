// Decoding and encoding through the codecs. A failed call gives the caller the platform's status;
// the codec's own message goes to standard error when BENCH_TRACE is set, to tell why.
#include <cstdio>
#include <cstdlib>

#include "codecs/codecs.h"
#include "codecs/jpeg_rows.h"
#include "gdiplus/codec_table.h"
#include "gdiplus/objects.h"
#include "gdiplus/stream_output.h"

namespace gdiplus {
namespace {

Gdiplus::Status platform_status(codecs::Status status) {
    switch (status) {
    case codecs::Status::Ok: return Gdiplus::Ok;
    case codecs::Status::OutOfMemory: return Gdiplus::OutOfMemory;
    case codecs::Status::SinkRefused: return Gdiplus::Win32Error;
    case codecs::Status::Failed: break;
    }
    return Gdiplus::GenericError;
}

Gdiplus::Status traced(const codecs::FormatRow &format, const char *role, Gdiplus::Status status,
                       const codecs::Message &message) {
    if (status != Gdiplus::Ok && std::getenv("BENCH_TRACE"))
        std::fprintf(stderr, "gdibench: GDI+ %s %s failed with status %d%s%s\n", format.name, role, int(status),
                     message.text[0] ? ": " : "", message.text);
    return status;
}

// The quality from the encoder parameters: a single Long of 0..100 under EncoderQuality. Other
// parameters are ignored.
bool quality_of(const Gdiplus::EncoderParameters *params, int *quality) {
    *quality = codecs::kDefaultQuality;
    if (!params) return true;
    for (UINT i = 0; i < params->Count; ++i) {
        const Gdiplus::EncoderParameter &param = params->Parameter[i];
        if (param.Guid != Gdiplus::EncoderQuality) continue;
        if (param.Type != Gdiplus::EncoderParameterValueTypeLong || param.NumberOfValues != 1 || !param.Value)
            return false;
        ULONG value = *static_cast<const ULONG *>(param.Value);
        if (value > 100) return false;
        *quality = int(value);
    }
    return true;
}

}  // namespace

namespace {

// Smaller pictures are decoded whole: their memory costs less than decoding them again.
constexpr uint64_t kKeptFromBytes = uint64_t(64) << 20;

// A large single-scan JPEG within the size limit, read to the end of its data; Failed for any
// other file, which is then decoded whole.
codecs::Status check_jpeg(const uint8_t *data, size_t size, Image *out, codecs::Message *message) {
    codecs::JpegRows rows;
    if (rows.open(data, size, message) != codecs::Status::Ok || !rows.single_scan()) return codecs::Status::Failed;
    uint64_t width = uint64_t(rows.width()), height = uint64_t(rows.height());
    if (!codecs::Raster::fits(width, height)) return codecs::Status::OutOfMemory;
    if (width * height * 4 <= kKeptFromBytes) return codecs::Status::Failed;
    out->width = rows.width();
    out->height = rows.height();
    return rows.check(message);
}

}  // namespace

Gdiplus::Status decode_image(const uint8_t *data, size_t size, Image *out, bool *keep_file) {
    *keep_file = false;
    const codecs::FormatRow *format = codecs::format_for_bytes(data, size);
    if (!format) return Gdiplus::UnknownImageFormat;
    codecs::Message message;
    if (format->format == codecs::Format::Jpeg) {
        codecs::Status checked = check_jpeg(data, size, out, &message);
        *keep_file = checked == codecs::Status::Ok;
        if (checked != codecs::Status::Failed) return traced(*format, "decoder", platform_status(checked), message);
        message = codecs::Message();
    }
    codecs::Status decoded = format->decode(data, size, &out->raster, &message);
    out->width = out->raster.width;
    out->height = out->raster.height;
    return traced(*format, "decoder", platform_status(decoded), message);
}

Gdiplus::Status decode_whole(Image *image) {
    if (!image->file) return Gdiplus::Ok;
    const codecs::FormatRow &format = codecs::format_row(codecs::Format::Jpeg);
    codecs::Message message;
    codecs::Status decoded = format.decode(image->file->data(), image->file->size(), &image->raster, &message);
    if (decoded == codecs::Status::Ok) image->file.reset();
    return traced(format, "decoder", platform_status(decoded), message);
}

Gdiplus::Status encode_image(const Codec &codec, Image *image, const Gdiplus::EncoderParameters *params,
                             IStream *stream) {
    const codecs::FormatRow &format = codec.row();
    codecs::Message message;
    int quality = codecs::kDefaultQuality;
    if (format.takes_quality && !quality_of(params, &quality)) {
        message.set("the quality is not one Long of 0 to 100");
        return traced(format, "encoder", Gdiplus::InvalidParameter, message);
    }
    StreamSink sink(stream);
    if (image->file && format.format == codecs::Format::Jpeg)
        return traced(format, "encoder",
                      platform_status(codecs::reencode_jpeg(image->file->data(), image->file->size(), quality, &sink,
                                                            &message)),
                      message);
    Gdiplus::Status decoded = decode_whole(image);
    if (decoded != Gdiplus::Ok) return decoded;
    return traced(format, "encoder", platform_status(format.encode(image->raster.surface(), quality, &sink, &message)),
                  message);
}

}  // namespace gdiplus
