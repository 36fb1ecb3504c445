#include "user/message_queue.h"

#include <chrono>
#include <deque>

#include "core/out_of_memory.h"
#include "user/window_table.h"

namespace user {
namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int quit_code = 0;
};

Queue &queue() {
    static Queue instance;
    return instance;
}

DWORD tick_count() {
    using namespace std::chrono;
    return DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

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

void post(const MSG &msg) { queue().posted.push_back(msg); }

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

void purge_posted(HWND hwnd) {
    auto &posted = queue().posted;
    for (auto it = posted.begin(); it != posted.end();) it = it->hwnd == hwnd ? posted.erase(it) : it + 1;
}

}  // namespace user

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) try {
    if (hwnd && !user::find_window(hwnd)) return FALSE;
    user::post(user::make_msg(hwnd, msg, wParam, lParam));
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    user::queue().quit = true;
    user::queue().quit_code = exitCode;
}
