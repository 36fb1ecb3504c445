#include "statistics.h"

#include <vector>

namespace inspect {

PictureFigures measure(const Picture &picture) {
    PictureFigures figures;
    uint64_t sum[3] = {0, 0, 0};
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    std::vector<uint64_t> seen((1u << 24) / 64);  // one bit for every 24-bit colour
    const uint8_t *p = picture.bgr.data();
    for (size_t i = 0; i < picture.pixels(); ++i, p += 3) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += p[c];
            if (p[c] < low[c]) low[c] = p[c];
            if (p[c] > high[c]) high[c] = p[c];
        }
        uint32_t colour = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        uint64_t bit = uint64_t(1) << (colour % 64);
        figures.distinct_colours += (seen[colour / 64] & bit) == 0;
        seen[colour / 64] |= bit;
    }
    for (int c = 0; c < 3 && picture.pixels() > 0; ++c)
        figures.channel[c] = {low[c], high[c], double(sum[c]) / double(picture.pixels())};
    return figures;
}

}  // namespace inspect
