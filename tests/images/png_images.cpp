// PNG files made through libpng: every colour type and bit depth, plain and interlaced, with
// transparency chunks, and broken files (a bad CRC, truncated, a huge claimed size).
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

#include "test_images.h"

namespace testimages {
namespace {

constexpr int kSize = 32;

struct PngKind {
    const char *name;
    int colour_type;
    int depth;
    bool transparency = false;  // a tRNS chunk: palette alphas or a colour key
};

int channels(int colour_type) {
    switch (colour_type) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

// Sample c of pixel (x, y): a scrambled value using every bit of the depth, and 0 every eighth
// pixel of every eighth row, so that (0, 0) is transparent black where there is alpha.
uint32_t sample(int x, int y, int c, int depth) {
    if (x % 8 == 0 && y % 8 == 0) return 0;
    uint32_t h = uint32_t(x * 37 + y * 101 + c * 59 + x * y * 13) * 2654435761u;
    return (h >> 9) & ((1u << depth) - 1);
}

// A PNG sample scaled to 8 bits: exact for 1, 2, 4 and 8 bits, rounded for 16.
unsigned to8(uint32_t value, int depth) {
    uint32_t max = (1u << depth) - 1;
    return (value * 255 + max / 2) / max;
}

uint32_t palette_colour(int i) { return argb(255, unsigned(i * 97 + 31) & 0xFF, unsigned(i * 45 + 7) & 0xFF, unsigned(255 - i)); }

unsigned palette_alpha(int i) { return unsigned(i * 53 + 20) & 0xFF; }

// Palette alphas cover the first entries only; the rest stay opaque.
int alpha_entries(int depth) { return (1 << depth) > 4 ? (1 << depth) - 3 : 1 << depth; }

// The samples of one row, packed as PNG stores them (high bits first, 16-bit big-endian).
std::vector<png_byte> packed_row(const PngKind &kind, int y) {
    std::vector<uint32_t> values;
    for (int x = 0; x < kSize; ++x)
        for (int c = 0; c < channels(kind.colour_type); ++c) values.push_back(sample(x, y, c, kind.depth));
    std::vector<png_byte> row((values.size() * size_t(kind.depth) + 7) / 8, 0);
    for (size_t i = 0; i < values.size(); ++i) {
        if (kind.depth == 16) {
            row[2 * i] = png_byte(values[i] >> 8);
            row[2 * i + 1] = png_byte(values[i]);
        } else {
            size_t bit = i * size_t(kind.depth);
            row[bit / 8] = png_byte(row[bit / 8] | values[i] << (8 - kind.depth - bit % 8));
        }
    }
    return row;
}

// A colour key: the colour of pixel (0, 0), which also turns up elsewhere.
uint32_t key_sample(int c, int depth) { return sample(0, 0, c, depth); }

// The pixel a decoder must show, as 8-bit non-premultiplied ARGB.
uint32_t expected_pixel(const PngKind &kind, int x, int y) {
    int n = channels(kind.colour_type);
    if (kind.colour_type == PNG_COLOR_TYPE_PALETTE) {
        int i = int(sample(x, y, 0, kind.depth));
        unsigned a = kind.transparency && i < alpha_entries(kind.depth) ? palette_alpha(i) : 255;
        return (palette_colour(i) & 0xFFFFFF) | a << 24;
    }
    unsigned v[4];
    bool keyed = kind.transparency;
    for (int c = 0; c < n; ++c) {
        v[c] = to8(sample(x, y, c, kind.depth), kind.depth);
        keyed = keyed && sample(x, y, c, kind.depth) == key_sample(c, kind.depth);
    }
    bool grey = n <= 2;
    unsigned alpha = n == 2 || n == 4 ? v[n - 1] : keyed ? 0 : 255;
    return grey ? argb(alpha, v[0], v[0], v[0]) : argb(alpha, v[0], v[1], v[2]);
}

void append_bytes(png_structp png, png_bytep data, size_t size) {
    static_cast<std::string *>(png_get_io_ptr(png))->append(reinterpret_cast<char *>(data), size);
}

void write_transparency(png_structp png, png_infop info, const PngKind &kind) {
    if (kind.colour_type == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_byte> alphas;
        for (int i = 0; i < alpha_entries(kind.depth); ++i) alphas.push_back(png_byte(palette_alpha(i)));
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
        return;
    }
    png_color_16 key{};
    key.gray = png_uint_16(key_sample(0, kind.depth));
    key.red = png_uint_16(key_sample(0, kind.depth));
    key.green = png_uint_16(key_sample(1, kind.depth));
    key.blue = png_uint_16(key_sample(2, kind.depth));
    png_set_tRNS(png, info, nullptr, 0, &key);
}

std::string encode(const PngKind &kind, bool interlaced) {
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "libpng cannot write %s\n", kind.name);
        std::exit(1);
    }
    png_set_write_fn(png, &bytes, append_bytes, nullptr);
    png_set_IHDR(png, info, kSize, kSize, kind.depth, kind.colour_type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (kind.colour_type == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> palette;
        for (int i = 0; i < 1 << kind.depth; ++i) {
            uint32_t p = palette_colour(i);
            palette.push_back(png_color{png_byte(channel(p, 16)), png_byte(channel(p, 8)), png_byte(channel(p, 0))});
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    }
    if (kind.transparency) write_transparency(png, info, kind);
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < kSize; ++y) rows.push_back(packed_row(kind, y));
    for (auto &row : rows) pointers.push_back(row.data());
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// The header chunk's width and height replaced, its CRC made right again.
std::string claim_size(std::string png, uint32_t size) {
    for (int i = 0; i < 8; ++i) png[size_t(16 + i)] = char(size >> (24 - 8 * (i % 4)));
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i) png[size_t(29 + i)] = char(crc >> (24 - 8 * i));
    return png;
}

}  // namespace

void write_png_images(const std::string &root) {
    Folder folder(root, "png");
    const PngKind kinds[] = {
        {"grey1", PNG_COLOR_TYPE_GRAY, 1},        {"grey2", PNG_COLOR_TYPE_GRAY, 2},
        {"grey4", PNG_COLOR_TYPE_GRAY, 4},        {"grey8", PNG_COLOR_TYPE_GRAY, 8},
        {"grey16", PNG_COLOR_TYPE_GRAY, 16},      {"rgb8", PNG_COLOR_TYPE_RGB, 8},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16},        {"palette1", PNG_COLOR_TYPE_PALETTE, 1},
        {"palette2", PNG_COLOR_TYPE_PALETTE, 2},  {"palette4", PNG_COLOR_TYPE_PALETTE, 4},
        {"palette8", PNG_COLOR_TYPE_PALETTE, 8},  {"greyalpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {"greyalpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8},
        {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16}, {"palette4trns", PNG_COLOR_TYPE_PALETTE, 4, true},
        {"palette8trns", PNG_COLOR_TYPE_PALETTE, 8, true}, {"grey8trns", PNG_COLOR_TYPE_GRAY, 8, true},
        {"rgb8trns", PNG_COLOR_TYPE_RGB, 8, true}, {"rgb16trns", PNG_COLOR_TYPE_RGB, 16, true},
    };
    for (const PngKind &kind : kinds) {
        Picture expected(kSize, kSize);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) expected.at(x, y) = expected_pixel(kind, x, y);
        bool alpha = kind.transparency || (kind.colour_type & PNG_COLOR_MASK_ALPHA);
        std::string facts = "type " + std::to_string(kind.colour_type) + " depth " + std::to_string(kind.depth) +
                            (alpha ? " alpha" : "");
        folder.add(std::string("g/") + kind.name + ".png", encode(kind, false), "LOAD", facts, &expected);
        folder.add(std::string("g/") + kind.name + "-interlaced.png", encode(kind, true), "LOAD",
                   facts + " interlaced", &expected);
    }

    std::string good = encode(kinds[5], false);
    std::string bad_crc = good;
    bad_crc[29] ^= 0x55;
    folder.add("b/badcrc.png", bad_crc, "REJECT", "header chunk CRC wrong");
    folder.add("b/truncatedheader.png", good.substr(0, 20), "REJECT", "cut in the header chunk");
    folder.add("b/truncatedhalf.png", good.substr(0, good.size() / 2), "REJECT", "cut in the image data");
    folder.add("b/noend.png", good.substr(0, good.size() - 12), "REJECT", "no end chunk");
    folder.add("b/huge.png", claim_size(good, 20000), "REJECT", "claims 20000x20000");
}

}  // namespace testimages
