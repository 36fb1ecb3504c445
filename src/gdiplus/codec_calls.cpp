// Decoding and encoding through the codec table. A failed call keeps the platform's status for the
// caller; its codec's own message goes to standard error when BENCH_TRACE is set, to tell why.
#include <cstdio>
#include <cstdlib>

#include "gdiplus/codec_table.h"

namespace gdiplus {
namespace {

Gdiplus::Status traced(const Codec &codec, const char *role, Gdiplus::Status status, const CodecMessage &message) {
    if (status != Gdiplus::Ok && std::getenv("BENCH_TRACE"))
        std::fprintf(stderr, "gdibench: GDI+ %s %s failed with status %d%s%s\n", codec.format, role, int(status),
                     message.text[0] ? ": " : "", message.text);
    return status;
}

}  // namespace

void CodecMessage::set(const char *what) { std::snprintf(text, sizeof text, "%s", what); }

Gdiplus::Status decode_image(const uint8_t *data, size_t size, Raster *out) {
    const Codec *codec = codec_for_bytes(data, size);
    if (!codec) return Gdiplus::UnknownImageFormat;
    CodecMessage message;
    return traced(*codec, "decoder", codec->decode(data, size, out, &message), message);
}

Gdiplus::Status encode_image(const Codec &codec, const Raster &image, const Gdiplus::EncoderParameters *params,
                             IStream *stream) {
    CodecMessage message;
    return traced(codec, "encoder", codec.encode(image, params, stream, &message), message);
}

}  // namespace gdiplus
