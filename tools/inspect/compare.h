// Two pictures side by side in numbers.
#pragma once
#include <cstdint>

#include "picture.h"

namespace inspect {

// Bands of the largest channel difference of a pixel: 0, 1, 2, 3, 4, 5 to 15, 16 and more.
constexpr int kHistogramBands = 7;
int histogram_band(int difference);
const char *histogram_band_name(int band);  // "0" ... "4", "5-15", "16+"

struct Comparison {
    bool same_size = false;
    int tolerance = 0;
    uint64_t pixels = 0;
    uint64_t differing = 0;  // pixels whose largest channel difference exceeds the tolerance
    int max_difference[3] = {0, 0, 0};  // blue, green, red, over all pixels
    double mean_difference[3] = {0, 0, 0};
    double psnr_db = 0;  // infinite when the pictures are identical
    uint64_t histogram[kHistogramBands] = {};
    // Of the differing pixels: the bounding box (inclusive) and the first in reading order.
    int left = 0, top = 0, right = -1, bottom = -1;
    int first_x = -1, first_y = -1;
    uint8_t first_a[3] = {0, 0, 0}, first_b[3] = {0, 0, 0};  // its blue, green, red in A and in B

    bool equal() const { return same_size && differing == 0; }
};

// The figures of two pictures of one size, gathered a band of pixels at a time in reading order.
class Comparer {
public:
    Comparer(int width, int tolerance);
    // Pixels [first, first + count) of both pictures, as blue, green, red bytes.
    void add(const uint8_t *a, const uint8_t *b, uint64_t first, size_t count);
    Comparison result() const;

private:
    void add_row(const uint8_t *a, const uint8_t *b, int x, int count, int y);

    int width_;
    Comparison out_;
    uint64_t sum_[3] = {0, 0, 0};
    uint64_t squares_ = 0;
};

// Figures of a and b; a size mismatch gives same_size false and no pixel figures.
Comparison compare(const Picture &a, const Picture &b, int tolerance);

}  // namespace inspect
