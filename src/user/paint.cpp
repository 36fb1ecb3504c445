// Painting: the update region, paint and window device contexts.
#include <windows.h>

#include <cstring>

#include "core/out_of_memory.h"
#include "display/screen.h"
#include "gdi/gdi_internal.h"
#include "user/window_table.h"

using user::Window;

extern "C" BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
    Window *window = user::find_window(hwnd);
    if (!window) return FALSE;
    RECT client = window->client.rect();
    window->update.invalidate(rect ? *rect : client, client, erase);
    return TRUE;
}

extern "C" HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) try {
    Window *window = user::find_window(hwnd);
    if (!window || !ps) return nullptr;
    std::memset(ps, 0, sizeof(*ps));
    ps->hdc = window->dcs.hand_out(window->client.surface());
    user::UpdateRegion::Paint paint = window->update.begin_paint();
    ps->rcPaint = paint.area;
    if (paint.erase) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, WPARAM(ps->hdc), 0) == 0;
    return ps->hdc;
} OUT_OF_MEMORY_RETURNS(nullptr)

extern "C" BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *ps) {
    Window *window = user::find_window(hwnd);
    if (!window || !ps) return FALSE;
    window->dcs.take_back(ps->hdc);
    window->update.end_paint();
    display::present(hwnd);
    return TRUE;
}

extern "C" HDC WINAPI GetDC(HWND hwnd) try {
    if (!hwnd) return gdi::create_screen_dc();
    Window *window = user::find_window(hwnd);
    return window ? window->dcs.hand_out(window->client.surface()) : nullptr;
} OUT_OF_MEMORY_RETURNS(nullptr)

// What was drawn through the context shows at once, as on a real screen.
extern "C" int WINAPI ReleaseDC(HWND hwnd, HDC hdc) {
    if (!hwnd) return gdi::release_screen_dc(hdc);
    Window *window = user::find_window(hwnd);
    if (!window || !window->dcs.take_back(hdc)) return 0;
    display::present(hwnd);
    return 1;
}
