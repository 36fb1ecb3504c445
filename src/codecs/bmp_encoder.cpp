// BMP encoding: a bottom-up BI_RGB file, 24 bits per pixel, or 32 (B, G, R, alpha) when the image
// has alpha, one row at a time into the caller's stream.
#include <windows.h>

#include <cstring>
#include <vector>

#include "gdiplus/codecs.h"
#include "gdiplus/stream_output.h"

namespace gdiplus {
namespace {

void pack_bgr(const uint32_t *pixels, int width, uint8_t *out) {
    for (int x = 0; x < width; ++x, out += 3) {
        uint32_t p = pixels[x];
        out[0] = uint8_t(p);
        out[1] = uint8_t(p >> 8);
        out[2] = uint8_t(p >> 16);
    }
}

bool write_headers(IStream *stream, const Raster &image, int bits, size_t stride) {
    size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    size_t pixel_bytes = stride * size_t(image.height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = DWORD(offset + pixel_bytes);
    file.bfOffBits = DWORD(offset);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height;
    info.biPlanes = 1;
    info.biBitCount = WORD(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = DWORD(pixel_bytes);
    return write_all(stream, &file, sizeof file) && write_all(stream, &info, sizeof info);
}

Gdiplus::Status stream_refused(CodecMessage *message) {
    message->set("the stream refused bytes");
    return Gdiplus::Win32Error;
}

}  // namespace

// The pixel cap keeps every size within the headers' 32-bit fields.
Gdiplus::Status encode_bmp(const Raster &image, const Gdiplus::EncoderParameters *, IStream *stream,
                           CodecMessage *message) {
    int bits = image.has_alpha ? 32 : 24;
    size_t stride = (size_t(image.width) * size_t(bits) + 31) / 32 * 4;
    if (!write_headers(stream, image, bits, stride)) return stream_refused(message);
    std::vector<uint8_t> row(stride, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        if (bits == 32)
            std::memcpy(row.data(), image.row(y), stride);
        else
            pack_bgr(image.row(y), image.width, row.data());
        if (!write_all(stream, row.data(), stride)) return stream_refused(message);
    }
    return Gdiplus::Ok;
}

}  // namespace gdiplus
