// GetMessageA: posted messages first, then the quit message, then a paint, then the next input.
#include <windows.h>

#include "core/out_of_memory.h"
#include "user/input.h"
#include "user/message_queue.h"
#include "user/window_table.h"

namespace {

// A WM_PAINT for the first visible window that needs one.
bool take_paint(HWND hwnd, UINT first, UINT last, MSG *out) {
    HWND found = user::window_to_paint(hwnd);
    if (!found) return false;
    MSG msg = user::make_msg(found, WM_PAINT, 0, 0);
    if (!user::matches(msg, hwnd, first, last)) return false;
    *out = msg;
    return true;
}

}  // namespace

// Returns -1 when the window filter is not a window or when nothing can ever arrive.
extern "C" BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) try {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hwnd && !user::find_window(hwnd)) return -1;
    for (;;) {
        if (user::take_posted(hwnd, filterMin, filterMax, msg)) return msg->message != WM_QUIT;
        if (user::take_quit(msg)) return FALSE;
        if (take_paint(hwnd, filterMin, filterMax, msg)) return TRUE;
        if (!user::take_input()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return -1;
        }
    }
} OUT_OF_MEMORY_RETURNS(-1)
