#include "heat_map.h"

#include <algorithm>
#include <cstdlib>

#include "compare.h"

namespace inspect {
namespace {

struct Colour {
    uint8_t blue, green, red;
};
const Colour kSmall = {255, 96, 0}, kMedium = {0, 220, 255}, kLarge = {0, 0, 255};

}  // namespace

Picture heat_map(const Picture &a, const Picture &b, int tolerance) {
    Picture map(a.width, a.height);
    const uint8_t *pa = a.bgr.data(), *pb = b.bgr.data();
    uint8_t *out = map.bgr.data();
    for (size_t i = 0; i < a.pixels(); ++i, pa += 3, pb += 3, out += 3) {
        int largest = std::max({std::abs(pa[0] - pb[0]), std::abs(pa[1] - pb[1]), std::abs(pa[2] - pb[2])});
        if (largest > tolerance) {
            int band = histogram_band(largest);  // the bands the report counts
            const Colour &c = band < 5 ? kSmall : band == 5 ? kMedium : kLarge;
            out[0] = c.blue, out[1] = c.green, out[2] = c.red;
            continue;
        }
        // Luma (BT.601 weights), squeezed into 64..191 so that the colours stand out.
        int grey = 64 + (29 * pa[0] + 150 * pa[1] + 77 * pa[2]) / 512;
        out[0] = out[1] = out[2] = uint8_t(grey);
    }
    return map;
}

}  // namespace inspect
