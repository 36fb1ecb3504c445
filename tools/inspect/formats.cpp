#include "formats.h"

#include "codecs/formats.h"
#include "raw_readers.h"
#include "refusal.h"

namespace inspect {
namespace {

struct FormatName {
    Format format;
    const char *name;
    const char *description;              // null for an image file: its codec's name
    std::optional<codecs::Format> image;  // the codec of an image file
};

const FormatName kNames[] = {
    {Format::ThreeNumberDump, "dump3", "three-number dump (dump types 1, 8, 9)", std::nullopt},
    {Format::OneNumberDump, "dump1", "one-number dump", std::nullopt},
    {Format::DeviceDump, "device", "device dump (dump type 0)", std::nullopt},
    {Format::RawCapture, "raw", "raw capture (24-bit top-down rows, no header)", std::nullopt},
    {Format::Bmp, "bmp", nullptr, codecs::Format::Bmp},
    {Format::Jpeg, "jpeg", nullptr, codecs::Format::Jpeg},
    {Format::Png, "png", nullptr, codecs::Format::Png},
};

// The image file whose leading bytes the data has, if any.
std::optional<Format> sniff_image(const uint8_t *data, size_t size) {
    const codecs::FormatRow *row = codecs::format_for_bytes(data, size);
    for (const FormatName &entry : kNames)
        if (row && entry.image == row->format) return entry.format;
    return std::nullopt;
}

// How many leading bytes fit a dump of `numbers` "%3d" fields and a space an element, looking at
// no more than `limit` bytes. Digits and spaces by position only: the parser checks the rest.
size_t dump_prefix(const uint8_t *data, size_t size, int numbers, size_t limit) {
    size_t element_size = size_t(3 * numbers + 1);
    size_t n = 0;
    for (; n < size && n < limit; ++n) {
        size_t position = n % element_size;
        uint8_t c = data[n];
        bool fits = position == element_size - 1 ? c == ' '
                    : position % 3 == 2         ? (c >= '0' && c <= '9')
                                                : (c == ' ' || (c >= '0' && c <= '9'));
        if (!fits) break;
    }
    return n;
}

// Every fourth byte a space, over the first `limit` bytes.
bool spaced_every_fourth(const uint8_t *data, size_t size, size_t limit) {
    if (size < 4) return false;
    for (size_t n = 3; n < size && n < limit; n += 4)
        if (data[n] != ' ') return false;
    return true;
}

}  // namespace

const char *format_description(Format format) {
    for (const FormatName &entry : kNames)
        if (entry.format == format) return entry.image ? codecs::format_row(*entry.image).name : entry.description;
    return "unknown";
}

std::optional<codecs::Format> image_codec(Format format) {
    for (const FormatName &entry : kNames)
        if (entry.format == format) return entry.image;
    return std::nullopt;
}

std::optional<Format> format_by_name(const std::string &name) {
    for (const FormatName &entry : kNames)
        if (name == entry.name) return entry.format;
    return std::nullopt;
}

Format sniff_format(const uint8_t *data, size_t head_size, uint64_t size, int width, int height) {
    std::optional<Format> image = sniff_image(data, head_size);
    if (image && !(*image == Format::Bmp && size == row_stride24(width) * size_t(height))) return *image;
    // A dump is told by its first three bytes; the element length is the one whose pattern holds
    // for longer (the two differ by the 16th byte at the latest), so that a fault further on is
    // refused by the parser at its offset rather than making the file unrecognised. A raw capture
    // is told by its length, unless it also reads as a whole dump of that length.
    const size_t kLook = 40;
    size_t three = dump_prefix(data, head_size, 3, kLook), one = dump_prefix(data, head_size, 1, kLook);
    Format dump = one > three ? Format::OneNumberDump : Format::ThreeNumberDump;
    size_t dump_prefix_length = one > three ? one : three;
    uint64_t dump_length = uint64_t(width) * uint64_t(height) * (dump == Format::ThreeNumberDump ? 10 : 4);
    bool dump_like = dump_prefix_length >= 3;
    bool whole_dump = dump_like && size == dump_length && dump_prefix_length == (head_size < kLook ? head_size : kLook);
    if (size == row_stride24(width) * size_t(height) && !whole_dump) return Format::RawCapture;
    if (dump_like) return dump;
    if (spaced_every_fourth(data, head_size, 4096)) return Format::DeviceDump;
    uint64_t raw_size = row_stride24(width) * uint64_t(height);
    throw Refusal(length_mismatch(size, raw_size, width, height, 3) +
                      " of a raw capture, or by its content a three-number or one-number dump, a device dump, BMP, "
                      "JPEG or PNG",
                  -1);
}

}  // namespace inspect
