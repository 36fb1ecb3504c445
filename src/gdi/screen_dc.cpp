// The screen and the device contexts on it.
#include <strings.h>

#include <algorithm>
#include <vector>

#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"
#include "gdi/gdi_objects.h"

namespace gdi {
namespace {

struct Screen {
    int width = 1920;
    int height = 1080;
    std::vector<uint32_t> pixels;
    Surface surface;  // keeps its address: contexts point at it
    ScreenComposer composer = nullptr;
};

Screen &screen() {
    static Screen instance;
    return instance;
}

// Its pixels are had on first use, and again after a change of size.
Surface &screen_surface() {
    Screen &s = screen();
    if (s.pixels.empty()) {
        s.pixels.resize(size_t(s.width) * size_t(s.height));
        s.surface.bits = reinterpret_cast<uint8_t *>(s.pixels.data());
        s.surface.width = s.width;
        s.surface.height = s.height;
        s.surface.stride = s.width * 4;
    }
    return s.surface;
}

}  // namespace

void set_screen_composer(ScreenComposer composer) { screen().composer = composer; }

void set_screen_size(int width, int height) {
    Screen &s = screen();
    if (width <= 0 || height <= 0 || (width == s.width && height == s.height)) return;
    s.width = width;
    s.height = height;
    s.pixels.clear();
    s.pixels.shrink_to_fit();
    if (s.surface.bits) screen_surface();
}

void screen_size(int *width, int *height) {
    *width = screen().width;
    *height = screen().height;
}

HDC create_screen_dc() {
    Surface &surface = screen_surface();
    std::fill(screen().pixels.begin(), screen().pixels.end(), 0);
    if (screen().composer) screen().composer(surface);
    auto dc = std::make_unique<DeviceContext>();
    dc->window_surface = &surface;
    dc->screen = true;
    return add_dc(std::move(dc));
}

BOOL release_screen_dc(HDC hdc) {
    DeviceContext *dc = find_dc(hdc);
    if (!dc || !dc->screen) return FALSE;
    remove_dc(hdc);
    return TRUE;
}

}  // namespace gdi

extern "C" {

// Only the display: any other driver or device name fails.
HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const DEVMODEA *) try {
    auto is_display = [](LPCSTR name) { return name && strcasecmp(name, "DISPLAY") == 0; };
    if (!is_display(driver) && !(driver == nullptr && is_display(device))) return nullptr;
    return gdi::create_screen_dc();
} OUT_OF_MEMORY_RETURNS(nullptr)

}  // extern "C"
