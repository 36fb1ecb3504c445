// The windows, kept by handle: each one's identity, client area, what it has to paint and the
// device contexts handed out on it. The bottom of the window system: it calls nothing above it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "user/client_area.h"
#include "user/update_region.h"
#include "user/window_dcs.h"

namespace user {

struct Window {
    HWND handle = nullptr;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    std::string title;
    DWORD style = 0;
    bool destroying = false;
    ClientArea client;
    POINT client_origin = {};  // where the client area shows on the screen
    UpdateRegion update;
    WindowDcs dcs;
};

// Takes the window in and gives it its handle; null when the table is full. May throw
// std::bad_alloc, destroying the window.
HWND add_window(std::unique_ptr<Window> window);

// The window of that handle, or null.
Window *window_of(HWND hwnd);
// The window of that handle, or null with ERROR_INVALID_WINDOW_HANDLE.
Window *find_window(HWND hwnd);

// Destroys the window, releasing the device contexts still handed out on it.
void remove_window(HWND hwnd);

size_t live_windows();

// The first visible window that needs a paint; when only is a window, that one if it does.
HWND window_to_paint(HWND only);

}  // namespace user
