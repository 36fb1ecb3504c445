// The findings as one JSON object for scripts.
#include <cmath>
#include <sstream>
#include <string>

#include "report.h"

namespace inspect {
namespace {

const char *const kChannels[3] = {"blue", "green", "red"};

std::string quoted(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string picture_fields(const LoadedPicture &loaded) {
    std::ostringstream out;
    out << "\"file\":" << quoted(loaded.file) << ",\"format\":" << quoted(format_description(loaded.format))
        << ",\"width\":" << loaded.picture.width << ",\"height\":" << loaded.picture.height;
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

std::string describe_json(const LoadedPicture &loaded, const PictureFigures &figures) {
    int minimum[3], maximum[3];
    double mean[3];
    for (int c = 0; c < 3; ++c) {
        minimum[c] = figures.channel[c].minimum;
        maximum[c] = figures.channel[c].maximum;
        mean[c] = figures.channel[c].mean;
    }
    std::ostringstream out;
    out << "{" << picture_fields(loaded) << ",\"minimum\":" << channels(minimum) << ",\"maximum\":" << channels(maximum)
        << ",\"mean\":" << channels(mean) << ",\"distinct_colours\":" << figures.distinct_colours << "}\n";
    return out.str();
}

std::string comparison_json(const LoadedPicture &a, const LoadedPicture &b, const Comparison &cmp) {
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
                << ",\"a\":" << pixel_object(a.picture.at(cmp.first_x, cmp.first_y))
                << ",\"b\":" << pixel_object(b.picture.at(cmp.first_x, cmp.first_y)) << "}";
    }
    out << "}\n";
    return out.str();
}

}  // namespace inspect
