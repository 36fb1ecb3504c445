#include "compare.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace inspect {
namespace {

// Adds one row of a and b to the figures; `sum` and `squares` collect per channel.
void compare_row(const uint8_t *a, const uint8_t *b, int width, int y, Comparison *out, uint64_t sum[3],
                 uint64_t *squares) {
    for (int x = 0; x < width; ++x, a += 3, b += 3) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            int d = a[c] > b[c] ? a[c] - b[c] : b[c] - a[c];
            sum[c] += unsigned(d);
            *squares += unsigned(d * d);
            if (d > out->max_difference[c]) out->max_difference[c] = d;
            if (d > largest) largest = d;
        }
        ++out->histogram[histogram_band(largest)];
        if (largest <= out->tolerance) continue;
        if (out->differing++ == 0) {
            out->first_x = x;
            out->first_y = y;
            out->left = out->right = x;
            out->top = y;
        }
        if (x < out->left) out->left = x;
        if (x > out->right) out->right = x;
        out->bottom = y;
    }
}

}  // namespace

const char *histogram_band_name(int band) {
    static const char *const kNames[kHistogramBands] = {"0", "1", "2", "3", "4", "5-15", "16+"};
    return kNames[band];
}

int histogram_band(int difference) {
    return difference < 5 ? difference : difference < 16 ? 5 : 6;
}

Comparison compare(const Picture &a, const Picture &b, int tolerance) {
    Comparison out;
    out.tolerance = tolerance;
    out.same_size = a.width == b.width && a.height == b.height;
    if (!out.same_size) return out;
    out.pixels = a.pixels();
    uint64_t sum[3] = {0, 0, 0}, squares = 0;
    size_t row_bytes = size_t(a.width) * 3;
    for (int y = 0; y < a.height; ++y) {
        const uint8_t *row_a = &a.bgr[row_bytes * size_t(y)], *row_b = &b.bgr[row_bytes * size_t(y)];
        if (std::memcmp(row_a, row_b, row_bytes) == 0)
            out.histogram[0] += uint64_t(a.width);  // the common case, at memcmp's speed
        else
            compare_row(row_a, row_b, a.width, y, &out, sum, &squares);
    }
    for (int c = 0; c < 3 && out.pixels > 0; ++c) out.mean_difference[c] = double(sum[c]) / double(out.pixels);
    double mean_square = out.pixels > 0 ? double(squares) / (3.0 * double(out.pixels)) : 0;
    out.psnr_db = mean_square == 0 ? std::numeric_limits<double>::infinity()
                                   : 10.0 * std::log10(255.0 * 255.0 / mean_square);
    return out;
}

}  // namespace inspect
