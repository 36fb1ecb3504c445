// The formats in the platform's encoder order (BMP, JPEG, GIF, TIFF, PNG), less those the layer
// lacks, with the platform's names and signatures.
#include "codecs/formats.h"

#include <cstring>

#include "codecs/codecs.h"

namespace codecs {
namespace {

// A JPEG is sniffed by its start-of-image marker and the next marker's lead byte, so that two bytes
// alone are no JPEG; the platform lists only the first two.
constexpr FormatRow kFormats[] = {
    {Format::Bmp, "BMP", "*.BMP;*.DIB;*.RLE", "image/bmp", "BM", "BM", false, decode_bmp, encode_bmp},
    {Format::Jpeg, "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg", "\xFF\xD8", "\xFF\xD8\xFF", true, decode_jpeg,
     encode_jpeg},
    {Format::Png, "PNG", "*.PNG", "image/png", "\x89PNG\r\n\x1A\n", "\x89PNG\r\n\x1A\n", false, decode_png,
     encode_png},
};

constexpr size_t kCount = sizeof kFormats / sizeof kFormats[0];

// Row k holds the format numbered k.
constexpr bool in_format_order() {
    for (size_t k = 0; k < kCount; ++k)
        if (size_t(kFormats[k].format) != k) return false;
    return true;
}
static_assert(in_format_order(), "the rows follow the Format enumeration");

}  // namespace

FormatRows formats() { return {kFormats, kCount}; }

const FormatRow &format_row(Format format) { return kFormats[size_t(format)]; }

const FormatRow *format_for_bytes(const uint8_t *data, size_t size) {
    for (const FormatRow &row : formats())
        if (size >= row.sniffing.size && std::memcmp(data, row.sniffing.bytes, row.sniffing.size) == 0) return &row;
    return nullptr;
}

}  // namespace codecs
