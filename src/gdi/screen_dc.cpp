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
    std::vector<uint32_t> pixels;
    Surface surface;
    ScreenComposer composer = nullptr;
};

Screen &screen() {
    static Screen instance;
    return instance;
}

// Made on first use; the surface keeps its address and bits for the process's life.
Surface &screen_surface() {
    Screen &s = screen();
    if (s.pixels.empty()) {
        s.pixels.resize(size_t(kScreenWidth) * kScreenHeight);
        s.surface.bits = reinterpret_cast<uint8_t *>(s.pixels.data());
        s.surface.width = kScreenWidth;
        s.surface.height = kScreenHeight;
        s.surface.stride = kScreenWidth * 4;
    }
    return s.surface;
}

}  // namespace

void set_screen_composer(ScreenComposer composer) { screen().composer = composer; }

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
