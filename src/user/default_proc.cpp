// DefWindowProcA: what a window does with the messages its procedure leaves alone.
#include <windows.h>

#include "user/window_table.h"

namespace {

// Fills the area being painted with the class background; 0 when the class has none.
LRESULT erase_background(HWND hwnd, HDC hdc) {
    user::Window *window = user::find_window(hwnd);
    if (!window || !window->background) return 0;
    RECT area = window->update.erase_area(window->client.rect());
    return FillRect(hdc, &area, window->background) ? 1 : 0;
}

// A paint that draws nothing still validates the window.
LRESULT paint_nothing(HWND hwnd) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return erase_background(hwnd, HDC(wParam));
        case WM_PAINT:
            return paint_nothing(hwnd);
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4) SendMessageA(hwnd, WM_CLOSE, 0, 0);  // Alt+F4
            return 0;
    }
    return 0;
}
