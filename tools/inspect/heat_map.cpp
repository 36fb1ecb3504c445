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

void paint_heat_map(const uint8_t *a, const uint8_t *b, size_t count, int tolerance, uint8_t *out) {
    for (size_t i = 0; i < count; ++i, a += 3, b += 3, out += 3) {
        int largest = std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
        if (largest > tolerance) {
            int band = histogram_band(largest);  // the bands the report counts
            const Colour &c = band < 5 ? kSmall : band == 5 ? kMedium : kLarge;
            out[0] = c.blue, out[1] = c.green, out[2] = c.red;
            continue;
        }
        // Luma (BT.601 weights), squeezed into 64..191 so that the colours stand out.
        int grey = 64 + (29 * a[0] + 150 * a[1] + 77 * a[2]) / 512;
        out[0] = out[1] = out[2] = uint8_t(grey);
    }
}

}  // namespace inspect
