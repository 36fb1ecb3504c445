#include "user/paint.h"

#include <algorithm>
#include <cstring>

#include "core/out_of_memory.h"
#include "display/screen.h"
#include "gdi/gdi_internal.h"

namespace user {
namespace {

RECT client_rect(const Window &window) { return {0, 0, window.client_width, window.client_height}; }

bool is_empty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersection(const RECT &a, const RECT &b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

RECT bounding(const RECT &a, const RECT &b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

HDC hand_out_dc(Window &window) {
    HDC hdc = gdi::create_window_dc(&window.surface);
    if (hdc) window.dcs.push_back(hdc);
    return hdc;
}

bool take_back_dc(Window &window, HDC hdc) {
    auto it = std::find(window.dcs.begin(), window.dcs.end(), hdc);
    if (it == window.dcs.end()) return false;
    window.dcs.erase(it);
    gdi::release_window_dc(hdc);
    return true;
}

}  // namespace

RECT erase_area(const Window &window) { return window.painting ? window.paint_area : client_rect(window); }

void release_all_dcs(Window &window) {
    for (HDC hdc : window.dcs) gdi::release_window_dc(hdc);
    window.dcs.clear();
}

}  // namespace user

using user::Window;

extern "C" BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
    Window *window = user::find_window(hwnd);
    if (!window) return FALSE;
    RECT client = user::client_rect(*window);
    RECT area = rect ? user::intersection(*rect, client) : client;
    if (user::is_empty(area)) return TRUE;
    window->update = window->invalid ? user::bounding(window->update, area) : area;
    window->invalid = true;
    window->erase = window->erase || erase;
    return TRUE;
}

// Validates the update region at once, so that what the paint itself invalidates is painted again.
extern "C" HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) try {
    Window *window = user::find_window(hwnd);
    if (!window || !ps) return nullptr;
    std::memset(ps, 0, sizeof(*ps));
    ps->hdc = user::hand_out_dc(*window);
    if (window->invalid) ps->rcPaint = window->update;
    bool erase = window->erase;
    window->invalid = window->erase = false;
    window->painting = true;
    window->paint_area = ps->rcPaint;
    if (erase) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, WPARAM(ps->hdc), 0) == 0;
    return ps->hdc;
} OUT_OF_MEMORY_RETURNS(nullptr)

extern "C" BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *ps) {
    Window *window = user::find_window(hwnd);
    if (!window || !ps) return FALSE;
    user::take_back_dc(*window, ps->hdc);
    window->painting = false;
    display::present(hwnd);
    return TRUE;
}

extern "C" HDC WINAPI GetDC(HWND hwnd) try {
    if (!hwnd) return gdi::create_screen_dc();
    Window *window = user::find_window(hwnd);
    return window ? user::hand_out_dc(*window) : nullptr;
} OUT_OF_MEMORY_RETURNS(nullptr)

// What was drawn through the context shows at once, as on a real screen.
extern "C" int WINAPI ReleaseDC(HWND hwnd, HDC hdc) {
    if (!hwnd) return gdi::release_screen_dc(hdc);
    Window *window = user::find_window(hwnd);
    if (!window || !user::take_back_dc(*window, hdc)) return 0;
    display::present(hwnd);
    return 1;
}
