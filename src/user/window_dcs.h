// The device contexts handed out on a window's client area and not yet released. Those still out
// when the window goes away are released with it.
#pragma once
#include <windows.h>

#include <vector>

#include "engine/surface.h"

namespace user {

class WindowDcs {
public:
    WindowDcs() = default;
    WindowDcs(const WindowDcs &) = delete;
    WindowDcs &operator=(const WindowDcs &) = delete;
    ~WindowDcs();

    // A new context drawing on the surface, or null when none can be made.
    HDC hand_out(gdi::Surface *surface);
    // Releases a context handed out here; false for any other.
    bool take_back(HDC hdc);

private:
    std::vector<HDC> dcs_;
};

}  // namespace user
