// The backend in use and the one window shown on it (the first visible window created).
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "display/backend.h"
#include "engine/surface.h"

namespace display {

// A copy of a client area: top-down pixels 0x00RRGGBB.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Chooses the backend; until a call, and after uninstall(), a headless one is used.
void install(std::unique_ptr<Backend> backend);
void uninstall();
Backend &backend();

HWND shown_window();
// Shows the window on the backend if none is shown yet. The surface must keep its address
// until hide().
void show(HWND hwnd, const char *title, const gdi::Surface *surface);
// Takes the window off the backend, keeping its last picture for snapshot().
void hide(HWND hwnd);
void present(HWND hwnd);

// The client area of the shown window, or the last picture of the window shown before.
Frame snapshot();

}  // namespace display
