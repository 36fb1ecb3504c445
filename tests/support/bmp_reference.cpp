#include "support/bmp_reference.h"

#include <windows.h>

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "bitmap/bitmap.h"
#include "engine/blit_engine.h"
#include "gdi/gdi_internal.h"
#include "support/canvas.h"
#include "support/reference_pixels.h"

namespace benchtest {

std::array<int, 3> channel_widths(const std::string &bmp_path) {
    std::ifstream in(bmp_path, std::ios::binary);
    std::string file(std::istreambuf_iterator<char>(in), {});
    BITMAPINFOHEADER header;
    if (file.size() < 14 + sizeof header + 12) return {8, 8, 8};
    std::memcpy(&header, file.data() + 14, sizeof header);
    if (header.biSize < sizeof header) return {8, 8, 8};
    if (header.biCompression == BI_BITFIELDS) {
        uint32_t masks[3];
        std::memcpy(masks, file.data() + 14 + sizeof header, sizeof masks);
        return {int(std::bitset<32>(masks[0]).count()), int(std::bitset<32>(masks[1]).count()),
                int(std::bitset<32>(masks[2]).count())};
    }
    return header.biBitCount == 16 ? std::array<int, 3>{5, 5, 5} : std::array<int, 3>{8, 8, 8};
}

uint32_t platform_colour(const uint8_t *reference, const std::array<int, 3> &widths) {
    uint32_t colour = 0;
    for (int c = 0; c < 3; ++c) {
        uint32_t scaled = reference[c], width = uint32_t(widths[size_t(c)]);
        if (width < 8) {
            uint32_t max = (1u << width) - 1;
            scaled = expand_channel((scaled * max + 127) / 255, int(width));
        }
        colour |= scaled << (16 - 8 * c);
    }
    return colour;
}

long mismatches_with_reference(const std::string &bmp, const std::string &png, int tolerance) {
    RgbaImage ref;
    if (!read_png(png, &ref)) return -2;
    HBITMAP section = MakeDIBSection((char *)bmp.c_str());
    if (!section) return -1;
    Canvas canvas(ref.width, ref.height);
    fn_DrawBitmap(canvas.dc(), 0, 0, section);
    DeleteObject(section);
    std::array<int, 3> widths = channel_widths(bmp);
    long bad = 0;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            const uint8_t *want = ref.at(x, y);
            if (want[3] != 255) continue;
            uint32_t got = canvas.rgb(x, y), expected = platform_colour(want, widths);
            for (int shift : {16, 8, 0})
                if (std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) {
                    ++bad;
                    break;
                }
        }
    return bad;
}

bool load_bmp(const std::string &path, LoadedBmp *bmp) {
    std::ifstream in(path, std::ios::binary);
    bmp->file.assign(std::istreambuf_iterator<char>(in), {});
    size_t size = bmp->file.size();
    if (size < sizeof(BITMAPFILEHEADER) + 4) return false;
    BITMAPFILEHEADER header;
    std::memcpy(&header, bmp->file.data(), sizeof header);
    bmp->file.resize(size + 2048);
    size_t image_bytes = 0;
    if (!gdi::describe_dib(reinterpret_cast<const BITMAPINFO *>(bmp->file.data() + 14), &bmp->surface, &image_bytes))
        return false;
    if (header.bfOffBits > size || image_bytes > size - header.bfOffBits) return false;
    bmp->surface.bits = bmp->file.data() + header.bfOffBits;
    return true;
}

int largest_difference(const gdi::Surface &surface, const RgbaImage &reference, const std::array<int, 3> &widths) {
    if (surface.width != reference.width || surface.height != reference.height) return -1;
    std::vector<uint32_t> pixels(size_t(surface.width) * surface.height);
    gdi::read_bgra(surface, pixels.data());
    int largest = 0;
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            if (reference.at(x, y)[3] == 0) continue;
            uint32_t got = pixels[size_t(y) * surface.width + x];
            uint32_t want = platform_colour(reference.at(x, y), widths);
            for (int shift : {16, 8, 0})
                largest = std::max(largest, std::abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF)));
        }
    return largest;
}

}  // namespace benchtest
