#include "support/bmp_reference.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "bitmap/bitmap.h"
#include "gdi/gdi_internal.h"
#include "support/canvas.h"

namespace benchtest {

long mismatches_with_reference(const std::string &bmp, const std::string &png, int tolerance) {
    RgbaImage ref;
    if (!read_png(png, &ref)) return -2;
    HBITMAP section = MakeDIBSection((char *)bmp.c_str());
    if (!section) return -1;
    Canvas canvas(ref.width, ref.height);
    fn_DrawBitmap(canvas.dc(), 0, 0, section);
    DeleteObject(section);
    long bad = 0;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            const uint8_t *want = ref.at(x, y);
            if (want[3] != 255) continue;
            uint32_t got = canvas.rgb(x, y);
            for (int shift : {16, 8, 0})
                if (std::abs(int((got >> shift) & 0xFF) - int(want[2 - shift / 8])) > tolerance) {
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

int largest_difference(const gdi::Surface &surface, const RgbaImage &reference) {
    if (surface.width != reference.width || surface.height != reference.height) return -1;
    std::vector<uint32_t> pixels(size_t(surface.width) * surface.height);
    gdi::read_bgra(surface, pixels.data());
    int largest = 0;
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            const uint8_t *want = reference.at(x, y);
            if (want[3] == 0) continue;
            uint32_t got = pixels[size_t(y) * surface.width + x];
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(int(got >> (16 - 8 * c) & 0xFF) - int(want[c])));
        }
    return largest;
}

}  // namespace benchtest
