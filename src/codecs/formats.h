// The image formats in one table, one row per format: its name, file extensions and MIME type,
// the leading bytes that tell it, the functions that read and write it, and the limits they keep.
// A new format is one row in formats.cpp and one file with its functions, declared in codecs.h.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codecs/byte_sink.h"
#include "codecs/raster.h"
#include "codecs/status.h"
#include "engine/surface.h"

namespace codecs {

// A decoded picture's rows, 4 bytes a pixel, fit in 31 bits, as the platform's bitmaps must
// (e.g. 16384 x 32767); what a picture does not write costs no memory (see Raster::allocate).
constexpr uint64_t kMaxRasterBytes = 0x7FFFFFFF;
constexpr uint64_t kMaxPixels = kMaxRasterBytes / 4;  // the most pixels a picture can have

// Of 0 to 100 on libjpeg's scale with the standard tables, for an encoder given no quality.
constexpr int kDefaultQuality = 75;

enum class Format { Bmp, Jpeg, Png };

// Fills the raster from a whole file in memory: Ok, OutOfMemory (over the pixel cap or without
// memory) or Failed (corrupt, truncated or unsupported data).
using Decoder = Status (*)(const uint8_t *data, size_t size, Raster *out, Message *message);
// Writes a whole file of the image, 24-bit or plain 32-bit rows (straight alpha, where the format
// has it, when the rows carry it), to the sink: Ok, SinkRefused, Failed when the image cannot be
// encoded in the format, or OutOfMemory. The quality, 0 to 100, counts where the row says so.
using Encoder = Status (*)(const gdi::Surface &image, int quality, ByteSink *sink, Message *message);

struct ByteString {
    const char *bytes;
    size_t size;
    template <size_t N>
    constexpr ByteString(const char (&text)[N]) : bytes(text), size(N - 1) {}
};

struct FormatRow {
    Format format;
    const char *name;        // "JPEG", as lists and trace lines name it
    const char *extensions;  // "*.JPG;*.JPEG;*.JPE;*.JFIF"
    const char *mime_type;
    ByteString signature;  // as the platform's encoder list gives it
    ByteString sniffing;   // the leading bytes that pick the decoder
    bool takes_quality;
    Decoder decode;
    Encoder encode;
};

struct FormatRows {
    const FormatRow *first;
    size_t count;
    const FormatRow *begin() const { return first; }
    const FormatRow *end() const { return first + count; }
};

// Every format, in the platform's encoder order.
FormatRows formats();

const FormatRow &format_row(Format format);

// Null when the data starts with no format's sniffing bytes.
const FormatRow *format_for_bytes(const uint8_t *data, size_t size);

}  // namespace codecs
