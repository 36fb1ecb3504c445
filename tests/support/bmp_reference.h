// BMP files checked against reference renderings (PNG), through the program's loader and blit
// or through the GDI engine's header reader and pixel converter.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "support/png_image.h"

namespace benchtest {

// Widths of a BMP file's red, green and blue channels: its masks' for bit fields, 5 for 16-bit
// pixels without masks, else 8.
std::array<int, 3> channel_widths(const std::string &bmp_path);

// The references scale an n-bit channel to 8 bits (v * 255 / max); the platform repeats its bits
// instead (v << 3 | v >> 2 for 5 bits). The colour 0xRRGGBB the platform shows where a reference
// has the bytes r, g, b (channels of 8 bits or more are taken as they are).
uint32_t platform_colour(const uint8_t *reference, const std::array<int, 3> &widths);

// Loads a file with MakeDIBSection and draws it; returns the number of pixels that differ by more
// than `tolerance` from the reference as the platform expands the file's channels (opaque
// reference pixels only), -1 when the file did not load, -2 when the reference cannot be read.
long mismatches_with_reference(const std::string &bmp, const std::string &png, int tolerance);

struct LoadedBmp {
    std::vector<uint8_t> file;
    gdi::Surface surface;
};

// Loads a BMP as the program hands it to GDI: the info block after the 14-byte file header and
// the pixels at bfOffBits. The block is padded so that a short file cannot be read past its end.
bool load_bmp(const std::string &path, LoadedBmp *bmp);

// Largest channel difference from the reference as the platform expands the channels of the given
// widths, over pixels the reference shows (alpha above 0); -1 when sizes differ.
int largest_difference(const gdi::Surface &surface, const RgbaImage &reference, const std::array<int, 3> &widths);

}  // namespace benchtest
