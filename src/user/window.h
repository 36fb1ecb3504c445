// Windows: their table, geometry and backing surface.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/handles.h"
#include "engine/surface.h"

namespace user {

struct Window {
    HWND handle = nullptr;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    std::string title;
    DWORD style = 0;
    int client_width = 0;
    int client_height = 0;
    POINT client_origin = {};  // where the client area shows on the screen

    // The client area's pixels: 32-bit, top-down, white at creation. The surface object keeps
    // its address for the window's life; its bits move when the window is resized.
    std::vector<uint32_t> pixels;
    gdi::Surface surface;

    bool invalid = false;  // the update region below needs a paint
    bool erase = false;    // ... and an erase first
    RECT update = {};
    bool painting = false;  // between BeginPaint and EndPaint
    RECT paint_area = {};   // the region that paint repaints
    std::vector<HDC> dcs;  // device contexts handed out and not yet released
    bool destroying = false;
};

layer::HandleTable<Window> &windows();

// The window of that handle, or null with ERROR_INVALID_WINDOW_HANDLE.
Window *find_window(HWND hwnd);

// Gives the client area a new size: new white pixels, WM_SIZE, and everything to repaint.
void resize_client(HWND hwnd, int width, int height);

}  // namespace user
