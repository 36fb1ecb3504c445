// The test image generator: every picture is made from pixels it knows, and each folder gets an
// index naming its files, the verdict a decoder owes them and the expected rendering.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace testimages {

// 0xAARRGGBB pixels, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    Picture(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t &at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b);
unsigned channel(uint32_t pixel, int shift);  // shift 24 alpha, 16 red, 8 green, 0 blue

// An n-bit channel value as a BMP decoder widens it to 8 bits: its bits from the top of the byte
// down, repeated once below (5 bits: v << 3 | v >> 2; 1 bit: 0 or 192); wider channels keep their
// top 8 bits.
unsigned expand_channel(uint32_t value, int bits);
// The n-bit value that stores an 8-bit one: its top bits, or for wider channels the value with
// its bits repeated, so that expand_channel gives the 8-bit value back.
uint32_t narrow_channel(unsigned value8, int bits);

// A photograph-like opaque picture: smooth gradients with a fine texture.
Picture photo(int width, int height);

// One folder of generated images ("bmp", "jpeg", "png" under the output root) and its INDEX.txt.
class Folder {
public:
    Folder(const std::string &root, const std::string &name);
    ~Folder();

    // Writes bytes as `file` (e.g. "g/pal8.bmp") and lists it with its verdict (LOAD, EITHER,
    // REJECT or REJECT|TOLERATE), facts and, when given, the expected picture saved as ref/<stem>.png.
    void add(const std::string &file, const std::string &bytes, const std::string &verdict,
             const std::string &facts, const Picture *expected = nullptr);

private:
    std::string dir_;
    std::ofstream index_;
};

void write_file(const std::string &path, const std::string &bytes);
// An 8-bit RGBA PNG of the picture, through libpng.
std::string png_of(const Picture &picture);

void write_bmp_images(const std::string &root);
void write_jpeg_images(const std::string &root);
void write_png_images(const std::string &root);

}  // namespace testimages
