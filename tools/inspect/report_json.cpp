// The findings as one JSON object for scripts.
#include <cmath>
#include <sstream>
#include <string>

#include "report.h"

namespace inspect {
namespace {

const char *const kChannels[3] = {"blue", "green", "red"};

// The length of the UTF-8 sequence at `p` (at most `left` bytes), or 0 when it is not one:
// no overlong forms, no surrogates, nothing over U+10FFFF.
size_t utf8_length(const unsigned char *p, size_t left) {
    if (p[0] < 0x80) return 1;
    size_t length = p[0] >= 0xC2 && p[0] <= 0xDF   ? 2
                    : p[0] >= 0xE0 && p[0] <= 0xEF ? 3
                    : p[0] >= 0xF0 && p[0] <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || length > left) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    unsigned low = 0x80, high = 0xBF;  // the bounds of the second byte
    if (p[0] == 0xE0) low = 0xA0;
    if (p[0] == 0xED) high = 0x9F;
    if (p[0] == 0xF0) low = 0x90;
    if (p[0] == 0xF4) high = 0x8F;
    return p[1] >= low && p[1] <= high ? length : 0;
}

// A JSON string: control bytes, and bytes that are not UTF-8, as \u00XX of the byte.
std::string quoted(const std::string &text) {
    std::string out = "\"";
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    for (size_t i = 0, length; i < text.size(); i += length) {
        unsigned char c = bytes[i];
        length = utf8_length(bytes + i, text.size() - i);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || length == 0) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            length = 1;
        } else {
            out.append(text, i, length);
        }
    }
    return out + "\"";
}

std::string picture_fields(const FileInfo &file) {
    std::ostringstream out;
    out << "\"file\":" << quoted(file.file) << ",\"format\":" << quoted(format_description(file.format))
        << ",\"width\":" << file.width << ",\"height\":" << file.height;
    return out.str();
}

std::string pixel_object(const uint8_t *bgr) {
    std::ostringstream out;
    out << "{\"blue\":" << int(bgr[0]) << ",\"green\":" << int(bgr[1]) << ",\"red\":" << int(bgr[2]) << "}";
    return out.str();
}

// Per channel {"blue":..,"green":..,"red":..} of one figure.
template <typename Value>
std::string channels(const Value (&values)[3]) {
    std::ostringstream out;
    out.precision(10);
    out << "{";
    for (int c = 0; c < 3; ++c) out << (c ? "," : "") << quoted(kChannels[c]) << ":" << values[c];
    return out.str() + "}";
}

}  // namespace

std::string describe_json(const FileInfo &file, const PictureFigures &figures) {
    int minimum[3], maximum[3];
    double mean[3];
    for (int c = 0; c < 3; ++c) {
        minimum[c] = figures.channel[c].minimum;
        maximum[c] = figures.channel[c].maximum;
        mean[c] = figures.channel[c].mean;
    }
    std::ostringstream out;
    out << "{" << picture_fields(file) << ",\"minimum\":" << channels(minimum) << ",\"maximum\":" << channels(maximum)
        << ",\"mean\":" << channels(mean) << ",\"distinct_colours\":" << figures.distinct_colours << "}\n";
    return out.str();
}

std::string comparison_json(const FileInfo &a, const FileInfo &b, const Comparison &cmp) {
    std::ostringstream out;
    out.precision(10);
    out << "{\"a\":{" << picture_fields(a) << "},\"b\":{" << picture_fields(b) << "},\"same_size\":"
        << (cmp.same_size ? "true" : "false") << ",\"equal\":" << (cmp.equal() ? "true" : "false");
    if (cmp.same_size) {
        out << ",\"tolerance\":" << cmp.tolerance << ",\"pixels\":" << cmp.pixels << ",\"differing\":" << cmp.differing
            << ",\"max_difference\":" << channels(cmp.max_difference)
            << ",\"mean_difference\":" << channels(cmp.mean_difference) << ",\"psnr_db\":";
        if (std::isinf(cmp.psnr_db))
            out << "null";  // infinite: JSON has no infinity
        else
            out << cmp.psnr_db;
        out << ",\"histogram\":{";
        for (int band = 0; band < kHistogramBands; ++band)
            out << (band ? "," : "") << quoted(histogram_band_name(band)) << ":" << cmp.histogram[band];
        out << "}";
        if (cmp.differing > 0)
            out << ",\"bounding_box\":{\"left\":" << cmp.left << ",\"top\":" << cmp.top << ",\"right\":" << cmp.right
                << ",\"bottom\":" << cmp.bottom << "},\"first\":{\"x\":" << cmp.first_x << ",\"y\":" << cmp.first_y
                << ",\"a\":" << pixel_object(cmp.first_a) << ",\"b\":" << pixel_object(cmp.first_b) << "}";
    }
    out << "}\n";
    return out.str();
}

}  // namespace inspect
