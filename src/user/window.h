// The window calls: creation, destruction, geometry.
#pragma once
#include <windows.h>

namespace user {

// Gives the client area a new size: new white pixels, WM_SIZE, and everything to repaint.
void resize_client(HWND hwnd, int width, int height);

}  // namespace user
