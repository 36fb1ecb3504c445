// Reads a PNG file into 8-bit RGBA pixels (any PNG colour type and depth), for checking
// screenshots and reference renderings.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace benchtest {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // top-down rows, 4 bytes a pixel

    const uint8_t *at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

// Returns false when the file is missing or not a valid PNG.
bool read_png(const std::string &path, RgbaImage *image);

}  // namespace benchtest
