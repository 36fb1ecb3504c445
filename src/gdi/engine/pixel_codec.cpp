#include "gdi/engine/pixel_codec.h"

#include <climits>

namespace gdi {
namespace {

// Reads at most 16 bits of a channel: wider channels lose their low bits first, which keeps the
// lookup table small and changes the 8-bit result by at most one.
constexpr int kMaxReadBits = 16;

int lowest_bit(uint32_t mask) {
    int bit = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++bit;
    }
    return bit;
}

int bit_length(uint32_t value) {
    int bits = 0;
    while (value) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

Channel make_channel(uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (!mask) {  // a channel without bits reads as 0
        channel.to8.assign(1, 0);
        return channel;
    }
    int low = lowest_bit(mask);
    int width = bit_length(mask >> low);
    int dropped = width > kMaxReadBits ? width - kMaxReadBits : 0;
    channel.shift = low + dropped;
    uint64_t max = (uint64_t(1) << (width - dropped)) - 1;
    channel.to8.resize(size_t(max) + 1);
    for (uint64_t v = 0; v <= max; ++v) channel.to8[size_t(v)] = uint8_t((v * 255 + max / 2) / max);
    uint64_t full_max = (uint64_t(1) << width) - 1;
    for (uint32_t c = 0; c < 256; ++c)
        channel.from8[c] = uint32_t(((c * full_max + 127) / 255) << low) & mask;
    return channel;
}

}  // namespace

PixelCodec make_codec(const Surface &surface) {
    PixelCodec codec;
    codec.bpp = surface.bpp;
    if (surface.bpp == 16 || (surface.bpp == 32 && surface.bitfields)) {
        codec.bitfields = true;
        static const uint32_t rgb555[3] = {0x7C00, 0x03E0, 0x001F};
        const uint32_t *masks = surface.bitfields ? surface.masks : rgb555;
        for (int i = 0; i < 3; ++i) codec.channels[i] = make_channel(masks[i]);
    }
    if (surface.bpp <= 8) {
        size_t entries = surface.palette.size();
        size_t limit = size_t(1) << surface.bpp;
        codec.palette_size = int(entries < limit ? entries : limit);
        for (int i = 0; i < codec.palette_size; ++i) {
            const RGBQUAD &q = surface.palette[size_t(i)];
            codec.palette[i] = 0xFF000000u | uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
        }
        for (size_t i = size_t(codec.palette_size); i < limit; ++i) codec.palette[i] = 0xFF000000u;
    }
    return codec;
}

uint8_t nearest_index(const PixelCodec &codec, uint32_t bgra) {
    int best = 0;
    int best_distance = INT_MAX;
    int count = codec.palette_size ? codec.palette_size : 1;
    for (int i = 0; i < count && best_distance; ++i) {
        uint32_t p = codec.palette[i];
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
