// BMP files checked against reference renderings (PNG), through the program's loader and blit
// or through the GDI engine's header reader and pixel converter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gdi/engine/surface.h"
#include "support/png_image.h"

namespace benchtest {

// Loads a file with MakeDIBSection and draws it with fn_DrawBitmap; returns the number of pixels
// that differ by more than `tolerance` from the reference (opaque reference pixels only), -1 when
// the file did not load, -2 when the reference cannot be read.
long mismatches_with_reference(const std::string &bmp, const std::string &png, int tolerance);

struct LoadedBmp {
    std::vector<uint8_t> file;
    gdi::Surface surface;
};

// Loads a BMP as the program hands it to GDI: the info block after the 14-byte file header and
// the pixels at bfOffBits. The block is padded so that a short file cannot be read past its end.
bool load_bmp(const std::string &path, LoadedBmp *bmp);

// Largest channel difference over pixels the reference shows (alpha above 0); -1 when sizes differ.
int largest_difference(const gdi::Surface &surface, const RgbaImage &reference);

}  // namespace benchtest
