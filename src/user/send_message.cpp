// SendMessageA and DispatchMessageA: a message handed straight to the window's procedure.
#include <windows.h>

#include "user/window_table.h"

extern "C" LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    user::Window *window = user::find_window(hwnd);
    if (!window) return 0;
    WNDPROC proc = window->proc;  // the window may be gone when the call returns
    return proc(hwnd, msg, wParam, lParam);
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (!msg || !msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
