#include "user/screen_composition.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "display/screen.h"
#include "gdi/gdi_internal.h"
#include "user/window_table.h"

namespace user {
namespace {

// Both surfaces are 32-bit and top-down: the rows that overlap are copied as they are.
void compose(const gdi::Surface &screen) {
    Window *window = window_of(display::shown_window());
    if (!window) return;
    const gdi::Surface &client = *window->client.surface();
    int x0 = window->client_origin.x, y0 = window->client_origin.y;
    int left = std::max(0, x0), top = std::max(0, y0);
    int right = int(std::min<int64_t>(screen.width, int64_t(x0) + client.width));
    int bottom = int(std::min<int64_t>(screen.height, int64_t(y0) + client.height));
    for (int y = top; y < bottom && left < right; ++y)
        std::memcpy(screen.row(y) + 4 * left, client.row(y - y0) + 4 * (left - x0), size_t(right - left) * 4);
}

}  // namespace

void attach_screen() {
    int width = 0, height = 0;
    if (display::backend().display_size(&width, &height)) gdi::set_screen_size(width, height);
    gdi::set_screen_composer(compose);
}

}  // namespace user
