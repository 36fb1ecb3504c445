// BMP encoding: a bottom-up BI_RGB file, 24 bits per pixel, or 32 (B, G, R, alpha) when the image
// has alpha, one row at a time into the sink.
#include <vector>

#include "codecs/codecs.h"
#include "engine/dib_layout.h"
#include "engine/row_codecs.h"

namespace codecs {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kHeadersBytes = kFileHeaderBytes + gdi::kInfoHeaderBytes;

void put16(uint8_t *at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void put32(uint8_t *at, uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

// The file header and a 40-byte info header; the fields not set here are zero.
bool write_headers(ByteSink *sink, const gdi::Surface &image, int bits, size_t stride) {
    size_t pixel_bytes = stride * size_t(image.height);
    uint8_t headers[kHeadersBytes] = {'B', 'M'};
    put32(headers + 2, uint32_t(kHeadersBytes + pixel_bytes));
    put32(headers + 10, uint32_t(kHeadersBytes));
    uint8_t *info = headers + kFileHeaderBytes;
    put32(info, gdi::kInfoHeaderBytes);
    put32(info + 4, uint32_t(image.width));
    put32(info + 8, uint32_t(image.height));
    put16(info + 12, 1);  // planes
    put16(info + 14, uint32_t(bits));
    put32(info + 16, gdi::kDibRgb);
    put32(info + 20, uint32_t(pixel_bytes));
    return sink->write(headers, kFileHeaderBytes) && sink->write(info, gdi::kInfoHeaderBytes);
}

Status sink_refused(Message *message) {
    message->set("the stream refused bytes");
    return Status::SinkRefused;
}

}  // namespace

// The pixel cap keeps every size within the headers' 32-bit fields.
Status encode_bmp(const gdi::Surface &image, int, ByteSink *sink, Message *message) {
    bool alpha = image.format->has_alpha;
    int bits = alpha ? 32 : 24;
    size_t stride = (size_t(image.width) * size_t(bits) + 31) / 32 * 4;
    gdi::FormatRef written = alpha ? gdi::PixelFormat::with_alpha() : gdi::PixelFormat::direct(24);
    gdi::RowCopy copy = gdi::direct_copy_for(*image.format, *written);
    if (!write_headers(sink, image, bits, stride)) return sink_refused(message);
    std::vector<uint8_t> row(stride, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        copy(image.row(y), row.data(), image.width);
        if (!sink->write(row.data(), stride)) return sink_refused(message);
    }
    return Status::Ok;
}

}  // namespace codecs
