#include "engine/pixel_format.h"

#include <climits>

namespace gdi {
namespace {

// One channel's mask with its lowest bit and width, worked out once per format.
struct Field {
    explicit Field(uint32_t m) : mask(m) {
        if (!m) return;
        low = __builtin_ctz(m);
        width = 32 - __builtin_clz(m >> low);
    }
    uint32_t mask;
    int low = 0;
    int width = 0;
};

// The platform's expansion of one channel of a pixel: the channel's bits fill the top of the
// byte and repeat once below (5 bits: v << 3 | v >> 2); of a channel wider than 8 bits only the
// top 8 are read.
uint32_t expand(uint32_t pixel, const Field &field) {
    if (!field.mask) return 0;
    int read = field.width < 8 ? field.width : 8;
    uint32_t top = ((pixel & field.mask) >> (field.low + field.width - read)) << (8 - read);
    return top | top >> read;
}

// Packing keeps the top bits of the 8-bit value, so that a packed value reads back as written.
// A mask without bits reads and packs as 0.
uint32_t pack(uint32_t c, const Field &field) {
    if (!field.mask) return 0;
    uint64_t packed = field.width < 8 ? c >> (8 - field.width) : uint64_t(c) << (field.width - 8);
    return uint32_t(packed << field.low) & field.mask;
}

FormatRef plain(int bpp) {
    auto format = std::make_shared<PixelFormat>();
    format->bpp = bpp;
    return format;
}

}  // namespace

FormatRef PixelFormat::direct(int bpp) {
    static const uint32_t rgb555[3] = {0x7C00, 0x03E0, 0x001F};
    static const FormatRef kRgb555 = with_masks(16, rgb555), kRgb24 = plain(24), kRgb32 = plain(32);
    switch (bpp) {
    case 16: return kRgb555;
    case 24: return kRgb24;
    case 32: return kRgb32;
    default: return plain(bpp);
    }
}

FormatRef PixelFormat::with_alpha() {
    static const FormatRef kArgb32 = [] {
        auto format = std::make_shared<PixelFormat>();
        format->has_alpha = true;
        return format;
    }();
    return kArgb32;
}

FormatRef PixelFormat::with_masks(int bpp, const uint32_t masks[3]) {
    auto built = std::make_shared<PixelFormat>();
    PixelFormat &format = *built;
    format.bpp = bpp;
    format.bitfields = true;
    for (int i = 0; i < 3; ++i) format.masks[i] = masks[i];
    const Field fields[3] = {Field(masks[0]), Field(masks[1]), Field(masks[2])};
    for (int k = 0; k < 4; ++k)
        for (uint32_t byte = 0; byte < 256; ++byte) {
            uint32_t pixel = byte << (8 * k);
            format.from_bytes[k][byte] =
                expand(pixel, fields[0]) << 16 | expand(pixel, fields[1]) << 8 | expand(pixel, fields[2]);
        }
    for (int i = 0; i < 3; ++i)
        for (uint32_t c = 0; c < 256; ++c) format.to_fields[i][c] = pack(c, fields[i]);
    return built;
}

FormatRef PixelFormat::indexed(int bpp, const TableColour *colours, size_t count) {
    auto built = std::make_shared<PixelFormat>();
    PixelFormat &format = *built;
    format.bpp = bpp;
    size_t limit = size_t(1) << bpp;
    format.palette_size = int(count < limit ? count : limit);
    for (int i = 0; i < format.palette_size; ++i) {
        const TableColour &q = colours[i];
        format.palette[i] = uint32_t(q.red) << 16 | uint32_t(q.green) << 8 | q.blue;
    }
    return built;
}

uint8_t nearest_index(const PixelFormat &format, uint32_t bgra) {
    int best = 0;
    int best_distance = INT_MAX;
    int count = format.palette_size ? format.palette_size : 1;
    for (int i = 0; i < count && best_distance; ++i) {
        uint32_t p = format.palette[i];
        int dr = int((p >> 16) & 0xFF) - int((bgra >> 16) & 0xFF);
        int dg = int((p >> 8) & 0xFF) - int((bgra >> 8) & 0xFF);
        int db = int(p & 0xFF) - int(bgra & 0xFF);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return uint8_t(best);
}

}  // namespace gdi
