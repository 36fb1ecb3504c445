// A slow, obviously correct pixel reader and writer for DIB memory, to check the GDI engine's
// row converters against, and a builder for the BITMAPINFO blocks of every DIB format.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace benchtest {

// An n-bit channel value as 8 bits: its bits from the top of the byte down, repeated once below
// (5 bits v give v << 3 | v >> 2); a value wider than 8 bits gives its top 8.
uint32_t expand_channel(uint32_t value, int width);

// A DIB format with its header, masks and colour table, ready to hand to GDI as a BITMAPINFO.
class DibFormat {
public:
    // bpp 1, 4, 8 get a colour table of `colours` random entries (0: all 2^bpp); masks are used
    // for 16 and 32 bpp when given (else 5-5-5 or 8-8-8).
    DibFormat(int bpp, int width, int height, bool top_down, int colours = 0, std::vector<uint32_t> masks = {},
              uint32_t seed = 1);

    const BITMAPINFO *info() const { return reinterpret_cast<const BITMAPINFO *>(block_.data()); }
    std::string name() const;
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return ((width_ * bpp_ + 31) / 32) * 4; }
    size_t image_bytes() const { return size_t(stride()) * height_; }

    // The pixel at picture column x, row y (0 = top) as 0xAARRGGBB: top byte 0, except that
    // 32-bit pixels without masks keep theirs.
    uint32_t read(const uint8_t *bits, int x, int y) const;
    // Stores a 0xAARRGGBB colour: the top bits of each channel under its mask, the nearest colour-table entry
    // (the first of equals) for indexed formats, all four bytes for 32-bit pixels without masks.
    void write(uint8_t *bits, int x, int y, uint32_t bgra) const;

private:
    uint8_t *row(uint8_t *bits, int y) const;
    uint32_t palette_colour(unsigned index) const;

    int bpp_, width_, height_;
    bool top_down_;
    std::vector<uint32_t> masks_;
    std::vector<RGBQUAD> palette_;
    std::vector<uint8_t> block_;  // header, masks, colour table
};

// A 16-bit, 1 x 1 BITMAPINFO whose header claims `size` bytes: a core header (5-5-5 pixels) for
// 12, else the 40 bytes of an info header with bit-field masks right after them that put red in
// the low five bits; the block is at least 52 bytes long. Its pixel 0x001F is blue read as a core
// header, red read as an info header.
std::vector<uint8_t> sized_header_block(DWORD size);
constexpr uint16_t kSizedHeaderPixel = 0x001F;
// The bytes of a BMP file holding that block and the one pixel given.
std::string sized_header_file(DWORD size, uint16_t pixel = kSizedHeaderPixel);

}  // namespace benchtest
