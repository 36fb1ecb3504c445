#include "compare.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace inspect {

const char *histogram_band_name(int band) {
    static const char *const kNames[kHistogramBands] = {"0", "1", "2", "3", "4", "5-15", "16+"};
    return kNames[band];
}

int histogram_band(int difference) {
    return difference < 5 ? difference : difference < 16 ? 5 : 6;
}

Comparer::Comparer(int width, int tolerance) : width_(width) {
    out_.tolerance = tolerance;
    out_.same_size = true;
}

void Comparer::add(const uint8_t *a, const uint8_t *b, uint64_t first, size_t count) {
    out_.pixels += count;
    while (count > 0) {
        int x = int(first % uint64_t(width_)), y = int(first / uint64_t(width_));
        size_t run = size_t(width_ - x) < count ? size_t(width_ - x) : count;
        if (std::memcmp(a, b, run * 3) == 0)
            out_.histogram[0] += run;  // the common case, at memcmp's speed
        else
            add_row(a, b, x, int(run), y);
        a += run * 3, b += run * 3, first += run, count -= run;
    }
}

// Pixels x to x + count of row y.
void Comparer::add_row(const uint8_t *a, const uint8_t *b, int x, int count, int y) {
    for (int end = x + count; x < end; ++x, a += 3, b += 3) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            int d = a[c] > b[c] ? a[c] - b[c] : b[c] - a[c];
            sum_[c] += unsigned(d);
            squares_ += unsigned(d * d);
            if (d > out_.max_difference[c]) out_.max_difference[c] = d;
            if (d > largest) largest = d;
        }
        ++out_.histogram[histogram_band(largest)];
        if (largest <= out_.tolerance) continue;
        if (out_.differing++ == 0) {
            out_.first_x = x;
            out_.first_y = y;
            std::memcpy(out_.first_a, a, 3);
            std::memcpy(out_.first_b, b, 3);
            out_.left = out_.right = x;
            out_.top = y;
        }
        if (x < out_.left) out_.left = x;
        if (x > out_.right) out_.right = x;
        out_.bottom = y;
    }
}

Comparison Comparer::result() const {
    Comparison out = out_;
    for (int c = 0; c < 3 && out.pixels > 0; ++c) out.mean_difference[c] = double(sum_[c]) / double(out.pixels);
    double mean_square = out.pixels > 0 ? double(squares_) / (3.0 * double(out.pixels)) : 0;
    out.psnr_db = mean_square == 0 ? std::numeric_limits<double>::infinity()
                                   : 10.0 * std::log10(255.0 * 255.0 / mean_square);
    return out;
}

Comparison compare(const Picture &a, const Picture &b, int tolerance) {
    if (a.width != b.width || a.height != b.height) {
        Comparison out;
        out.tolerance = tolerance;
        return out;
    }
    Comparer comparer(a.width, tolerance);
    comparer.add(a.bgr.data(), b.bgr.data(), 0, a.pixels());
    return comparer.result();
}

}  // namespace inspect
