#include "user/message_queue.h"

#include <chrono>
#include <deque>

#include "core/out_of_memory.h"
#include "display/screen.h"
#include "user/window.h"

namespace user {
namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int quit_code = 0;
    ScriptedInput script;
};

Queue &queue() {
    static Queue instance;
    return instance;
}

DWORD tick_count() {
    using namespace std::chrono;
    return DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

MSG make_msg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = tick_count();
    return msg;
}

bool matches(const MSG &msg, HWND hwnd, UINT first, UINT last) {
    if (hwnd && msg.hwnd != hwnd) return false;
    return (first == 0 && last == 0) || (msg.message >= first && msg.message <= last);
}

bool take_posted(HWND hwnd, UINT first, UINT last, MSG *out) {
    auto &posted = queue().posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!matches(*it, hwnd, first, last)) continue;
        *out = *it;
        posted.erase(it);
        return true;
    }
    return false;
}

bool take_quit(MSG *out) {
    Queue &q = queue();
    if (!q.quit) return false;
    q.quit = false;
    *out = make_msg(nullptr, WM_QUIT, WPARAM(q.quit_code), 0);
    return true;
}

// A WM_PAINT for the first visible window that needs one.
bool take_paint(HWND hwnd, UINT first, UINT last, MSG *out) {
    HWND found = nullptr;
    windows().for_each([&](const Window &w) {
        if (!found && w.invalid && (w.style & WS_VISIBLE) && (!hwnd || w.handle == hwnd)) found = w.handle;
    });
    if (!found) return false;
    MSG msg = make_msg(found, WM_PAINT, 0, 0);
    if (!matches(msg, hwnd, first, last)) return false;
    *out = msg;
    return true;
}

// The key's lParam: repeat count 1, bit 29 when Alt is held, bit 30 when the key was already down.
LPARAM key_param(const display::InputEvent &event) {
    LPARAM param = 1;
    if (event.alt) param |= LPARAM(1) << 29;
    if (event.repeat) param |= LPARAM(1) << 30;
    return param;
}

display::InputEvent next_input() {
    display::InputEvent event;
    if (queue().script) event = queue().script();
    return event.type == display::InputEvent::Type::None ? display::backend().next_event() : event;
}

// Takes the next input event of the shown window and turns it into messages. False when no
// input can come any more.
bool take_input() {
    using Type = display::InputEvent::Type;
    HWND target = display::shown_window();
    if (!target) return false;
    display::InputEvent event = next_input();
    switch (event.type) {
        case Type::None:
            return false;
        case Type::Key:
        case Type::SysKey: {
            UINT message = event.type == Type::Key ? WM_KEYDOWN : WM_SYSKEYDOWN;
            queue().posted.push_back(make_msg(target, message, event.vk, key_param(event)));
            return true;
        }
        case Type::Close:
            SendMessageA(target, WM_CLOSE, 0, 0);
            return true;
        case Type::Resize:
            resize_client(target, event.width, event.height);
            return true;
        case Type::Expose:
            InvalidateRect(target, nullptr, TRUE);
            return true;
    }
    return false;
}

}  // namespace

void purge_posted(HWND hwnd) {
    auto &posted = queue().posted;
    for (auto it = posted.begin(); it != posted.end();) it = it->hwnd == hwnd ? posted.erase(it) : it + 1;
}

void set_scripted_input(ScriptedInput script) { queue().script = std::move(script); }

}  // namespace user

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) try {
    if (hwnd && !user::find_window(hwnd)) return FALSE;
    user::queue().posted.push_back(user::make_msg(hwnd, msg, wParam, lParam));
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    user::queue().quit = true;
    user::queue().quit_code = exitCode;
}

// Posted messages first, then the quit message, then a paint, then the next input event.
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
        if (user::take_paint(hwnd, filterMin, filterMax, msg)) return TRUE;
        if (!user::take_input()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return -1;
        }
    }
} OUT_OF_MEMORY_RETURNS(-1)

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
