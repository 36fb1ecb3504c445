#include "support/reference_pixels.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace benchtest {
namespace {

// Value and width of the bits of pixel under mask, collected one bit at a time.
void channel_bits(uint32_t pixel, uint32_t mask, uint32_t *value, int *width) {
    *value = 0;
    *width = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (!(mask >> bit & 1)) continue;
        *value |= (pixel >> bit & 1u) << *width;
        ++*width;
    }
}

}  // namespace

uint32_t expand_channel(uint32_t value, int width) {
    uint32_t out = 0;
    int filled = 0;
    for (int copy = 0; copy < 2; ++copy)
        for (int k = width - 1; k >= 0 && filled < 8; --k, ++filled) out |= (value >> k & 1u) << (7 - filled);
    return out;
}

namespace {

// Places the top bits of an 8-bit channel value under mask, as many as the mask has (a wider
// mask gets the 8 bits at its top and zeros below).
uint32_t from8(uint32_t c, uint32_t mask) {
    uint32_t ignored;
    int width;
    channel_bits(0, mask, &ignored, &width);
    uint32_t value = width <= 8 ? c >> (8 - width) : c << (width - 8);
    uint32_t out = 0;
    for (int bit = 0, k = 0; bit < 32; ++bit)
        if (mask >> bit & 1) out |= (value >> k++ & 1u) << bit;
    return out;
}

}  // namespace

DibFormat::DibFormat(int bpp, int width, int height, bool top_down, int colours, std::vector<uint32_t> masks,
                     uint32_t seed)
    : bpp_(bpp), width_(width), height_(height), top_down_(top_down), masks_(std::move(masks)) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = top_down ? -height : height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bpp);
    header.biCompression = masks_.empty() ? BI_RGB : BI_BITFIELDS;
    if (bpp <= 8) {
        std::mt19937 random(seed);
        palette_.resize(colours ? size_t(colours) : size_t(1) << bpp);
        for (RGBQUAD &q : palette_) q = RGBQUAD{BYTE(random()), BYTE(random()), BYTE(random()), 0};
        header.biClrUsed = DWORD(colours);
    }
    block_.resize(sizeof header + masks_.size() * 4 + palette_.size() * sizeof(RGBQUAD));
    std::memcpy(block_.data(), &header, sizeof header);
    if (!masks_.empty()) std::memcpy(block_.data() + sizeof header, masks_.data(), masks_.size() * 4);
    if (!palette_.empty())
        std::memcpy(block_.data() + sizeof header + masks_.size() * 4, palette_.data(), palette_.size() * sizeof(RGBQUAD));
}

std::vector<uint8_t> sized_header_block(DWORD size) {
    std::vector<uint8_t> block(std::max<size_t>(size, sizeof(BITMAPINFOHEADER) + 12), 0);
    if (size == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core{size, 1, 1, 1, 16};
        std::memcpy(block.data(), &core, sizeof core);
        return block;
    }
    BITMAPINFOHEADER header{};
    header.biSize = size;
    header.biWidth = header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 16;
    header.biCompression = BI_BITFIELDS;
    const uint32_t masks[3] = {0x001F, 0x03E0, 0x7C00};
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, masks, sizeof masks);
    return block;
}

std::string sized_header_file(DWORD size, uint16_t pixel) {
    std::vector<uint8_t> block = sized_header_block(size);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, DWORD(sizeof file + block.size())};
    std::string bytes(reinterpret_cast<const char *>(&file), sizeof file);
    bytes.append(block.begin(), block.end());
    const uint32_t row = pixel;  // one pixel padded to four bytes
    return bytes.append(reinterpret_cast<const char *>(&row), sizeof row);
}

std::string DibFormat::name() const {
    std::string n = std::to_string(bpp_) + "bpp";
    if (!palette_.empty()) n += "-" + std::to_string(palette_.size()) + "colours";
    if (!masks_.empty()) n += "-fields";
    return n + (top_down_ ? "-topdown" : "-bottomup");
}

uint8_t *DibFormat::row(uint8_t *bits, int y) const {
    int memory_row = top_down_ ? y : height_ - 1 - y;
    return bits + size_t(memory_row) * stride();
}

uint32_t DibFormat::palette_colour(unsigned index) const {
    if (index >= palette_.size()) return 0;
    const RGBQUAD &q = palette_[index];
    return uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
}

uint32_t DibFormat::read(const uint8_t *bits, int x, int y) const {
    const uint8_t *r = row(const_cast<uint8_t *>(bits), y);
    if (bpp_ <= 8) {
        int bit = x * bpp_;
        unsigned index = (r[bit / 8] >> (8 - bpp_ - bit % 8)) & ((1u << bpp_) - 1);
        return palette_colour(index);
    }
    if (bpp_ == 24) return uint32_t(r[3 * x + 2]) << 16 | uint32_t(r[3 * x + 1]) << 8 | r[3 * x];
    uint32_t pixel = 0;
    std::memcpy(&pixel, r + x * bpp_ / 8, size_t(bpp_ / 8));
    if (bpp_ == 32 && masks_.empty()) return pixel;
    std::vector<uint32_t> masks = masks_.empty() ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F} : masks_;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        uint32_t value;
        int width;
        channel_bits(pixel, masks[size_t(c)], &value, &width);
        out |= expand_channel(value, width) << (16 - 8 * c);
    }
    return out;
}

void DibFormat::write(uint8_t *bits, int x, int y, uint32_t bgra) const {
    uint8_t *r = row(bits, y);
    if (bpp_ <= 8) {
        unsigned best = 0;
        long best_distance = -1;
        for (unsigned i = 0; i < palette_.size(); ++i) {
            uint32_t p = palette_colour(i);
            long distance = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                long d = long(p >> shift & 0xFF) - long(bgra >> shift & 0xFF);
                distance += d * d;
            }
            if (best_distance < 0 || distance < best_distance) {
                best_distance = distance;
                best = i;
            }
        }
        int bit = x * bpp_;
        int shift = 8 - bpp_ - bit % 8;
        uint8_t mask = uint8_t(((1u << bpp_) - 1) << shift);
        r[bit / 8] = uint8_t((r[bit / 8] & ~mask) | (best << shift));
        return;
    }
    if (bpp_ == 24) {
        r[3 * x] = uint8_t(bgra);
        r[3 * x + 1] = uint8_t(bgra >> 8);
        r[3 * x + 2] = uint8_t(bgra >> 16);
        return;
    }
    uint32_t pixel = bgra;
    if (!(bpp_ == 32 && masks_.empty())) {
        std::vector<uint32_t> masks = masks_.empty() ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F} : masks_;
        pixel = 0;
        for (int c = 0; c < 3; ++c) pixel |= from8(bgra >> (16 - 8 * c) & 0xFF, masks[size_t(c)]);
    }
    std::memcpy(r + x * bpp_ / 8, &pixel, size_t(bpp_ / 8));
}

}  // namespace benchtest
