// The image codecs in one table, one row per format: what GDI+ lists for it, the leading bytes that
// pick its decoder, and the functions that read and write it. A new format is one row in
// codec_table.cpp and one file with its functions, declared in codecs.h.
#pragma once
#include <objbase.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "gdiplus/raster.h"

namespace gdiplus {

// A codec library's own words about a failure, carried beside the platform's status. Of fixed size,
// as the libraries report from error callbacks that jump.
struct CodecMessage {
    char text[200] = {};
    void set(const char *what);
};

// Fills the raster from a whole file in memory: Ok, OutOfMemory (over the pixel cap or without
// memory) or GenericError (corrupt, truncated or unsupported data).
using Decoder = Gdiplus::Status (*)(const uint8_t *data, size_t size, Raster *out, CodecMessage *message);
// Writes a whole file to the stream: Ok, InvalidParameter for parameters it refuses, Win32Error when
// the stream refuses bytes, GenericError when the image cannot be encoded in the format.
using Encoder = Gdiplus::Status (*)(const Raster &image, const Gdiplus::EncoderParameters *params, IStream *stream,
                                    CodecMessage *message);

struct ByteString {
    const char *bytes;
    DWORD size;
    template <size_t N>
    constexpr ByteString(const char (&text)[N]) : bytes(text), size(N - 1) {}
};

struct Codec {
    const char *format;  // as trace lines name it
    CLSID clsid;
    GUID format_id;
    const wchar_t *codec_name;
    const wchar_t *format_description;
    const wchar_t *filename_extension;
    const wchar_t *mime_type;
    ByteString signature;  // listed with the encoder
    ByteString sniffing;   // the leading bytes that pick the decoder
    Decoder decode;
    Encoder encode;
};

struct CodecRows {
    const Codec *first;
    size_t count;
    const Codec *begin() const { return first; }
    const Codec *end() const { return first + count; }
};

// Every codec, in the platform's encoder order.
CodecRows codecs();

// Null when no codec has that encoder CLSID (an all-zero one included).
const Codec *codec_for_clsid(const CLSID &clsid);

// Null when the data starts with no codec's sniffing bytes.
const Codec *codec_for_bytes(const uint8_t *data, size_t size);

// Decodes with the codec whose leading bytes the data has: UnknownImageFormat when none has
// (an empty file included). With BENCH_TRACE set, a failure's message goes to standard error.
Gdiplus::Status decode_image(const uint8_t *data, size_t size, Raster *out);
// Encodes with the codec, tracing a failure as decode_image does.
Gdiplus::Status encode_image(const Codec &codec, const Raster &image, const Gdiplus::EncoderParameters *params,
                             IStream *stream);

}  // namespace gdiplus
