#include "user/window.h"

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "display/screen.h"
#include "user/message_queue.h"
#include "user/screen_composition.h"
#include "user/window_class.h"
#include "user/window_table.h"

namespace user {
namespace {

// The frame of an overlapped window, borders and caption together: an outer size of
// 1300 x 1067 leaves a client area of exactly 1280 x 1024.
constexpr int kFrameWidth = 20;
constexpr int kFrameHeight = 43;
// The outer size the system picks when asked to (CW_USEDEFAULT).
constexpr int kDefaultWidth = 820;
constexpr int kDefaultHeight = 643;

bool has_frame(DWORD style) { return style & (WS_CAPTION | WS_THICKFRAME); }

// At the position asked for (the screen's corner when the system may choose), inside the frame.
POINT client_origin(DWORD style, int x, int y) {
    if (x == CW_USEDEFAULT) x = y = 0;
    bool framed = has_frame(style);
    return POINT{x + (framed ? kFrameWidth / 2 : 0), y + (framed ? kFrameHeight - kFrameWidth / 2 : 0)};
}

LPARAM size_param(int width, int height) { return LPARAM((DWORD(height) << 16) | (DWORD(width) & 0xFFFF)); }

std::unique_ptr<Window> make_window(const WindowClass &cls, const char *title, DWORD style, int width,
                                    int height) {
    auto window = std::make_unique<Window>();
    window->proc = cls.proc;
    window->background = cls.background;
    window->title = title ? title : "";
    window->style = style;
    int frame_w = has_frame(style) ? kFrameWidth : 0;
    int frame_h = has_frame(style) ? kFrameHeight : 0;
    window->client.resize(width - frame_w, height - frame_h);
    return window;
}

// Sends the creation messages; false when the window procedure refuses the window.
bool send_creation(HWND hwnd, CREATESTRUCTA *cs) {
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, LPARAM(cs))) return false;
    return IsWindow(hwnd) && SendMessageA(hwnd, WM_CREATE, 0, LPARAM(cs)) != -1;
}

void announce_size(HWND hwnd, const Window &window) {
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, size_param(window.client.width(), window.client.height()));
}

}  // namespace

void resize_client(HWND hwnd, int width, int height) {
    Window *window = find_window(hwnd);
    if (!window || (width == window->client.width() && height == window->client.height())) return;
    window->client.resize(width, height);
    announce_size(hwnd, *window);
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace user

using user::Window;

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                                       int y, int width, int height, HWND parent, HMENU menu,
                                       HINSTANCE instance, LPVOID param) try {
    const user::WindowClass *cls = user::find_class(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !user::find_window(parent)) return nullptr;
    if (layer::injected_fault("CreateWindowExA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (width == CW_USEDEFAULT) {
        width = user::kDefaultWidth;
        height = user::kDefaultHeight;
    }
    HWND hwnd = user::add_window(user::make_window(*cls, windowName, style, width, height));
    if (!hwnd) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    user::window_of(hwnd)->client_origin = user::client_origin(style, x, y);
    user::attach_screen();

    // The position is left to the backend, which places the window where it can.
    CREATESTRUCTA cs = {param, instance, menu, parent, height, width, y, x, LONG(style), windowName, className, exStyle};
    if (!user::send_creation(hwnd, &cs)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    // The window procedure may have destroyed the window in any of the messages it got.
    if (Window *window = user::window_of(hwnd)) user::announce_size(hwnd, *window);
    InvalidateRect(hwnd, nullptr, TRUE);
    Window *window = user::window_of(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (style & WS_VISIBLE) display::show(hwnd, window->title.c_str(), window->client.surface());
    return hwnd;
} OUT_OF_MEMORY_RETURNS(nullptr)

extern "C" BOOL WINAPI DestroyWindow(HWND hwnd) try {
    Window *window = user::find_window(hwnd);
    if (!window) return FALSE;
    if (window->destroying) return TRUE;
    window->destroying = true;
    display::hide(hwnd);
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    user::purge_posted(hwnd);
    user::remove_window(hwnd);
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

extern "C" BOOL WINAPI IsWindow(HWND hwnd) { return user::window_of(hwnd) != nullptr; }

extern "C" BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window *window = user::find_window(hwnd);
    if (!window || !rect) return FALSE;
    *rect = window->client.rect();
    return TRUE;
}
