#include "display/screen.h"

#include <cstring>

#include "display/headless_backend.h"

namespace display {
namespace {

struct Screen {
    std::unique_ptr<Backend> backend = std::make_unique<HeadlessBackend>();
    HWND shown = nullptr;
    const gdi::Surface *surface = nullptr;
    Frame kept;
};

Screen &screen() {
    static Screen instance;
    return instance;
}

Frame copy_of(const gdi::Surface &surface) {
    Frame frame;
    frame.width = surface.width;
    frame.height = surface.height;
    frame.pixels.resize(size_t(surface.width) * surface.height);
    for (int y = 0; y < surface.height; ++y)
        std::memcpy(&frame.pixels[size_t(y) * surface.width], surface.row(y), size_t(surface.width) * 4);
    return frame;
}

}  // namespace

void install(std::unique_ptr<Backend> backend) { screen().backend = std::move(backend); }

void uninstall() { install(std::make_unique<HeadlessBackend>()); }

Backend &backend() { return *screen().backend; }

HWND shown_window() { return screen().shown; }

void show(HWND hwnd, const char *title, const gdi::Surface *surface) {
    Screen &s = screen();
    if (s.shown) return;
    s.shown = hwnd;
    s.surface = surface;
    s.backend->open(title, surface->width, surface->height);
}

void hide(HWND hwnd) {
    Screen &s = screen();
    if (hwnd != s.shown) return;
    s.kept = copy_of(*s.surface);
    s.backend->close();
    s.shown = nullptr;
    s.surface = nullptr;
}

void present(HWND hwnd) {
    Screen &s = screen();
    if (hwnd == s.shown) s.backend->present(*s.surface);
}

Frame snapshot() {
    Screen &s = screen();
    return s.surface ? copy_of(*s.surface) : s.kept;
}

}  // namespace display
