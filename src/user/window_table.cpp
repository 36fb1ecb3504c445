#include "user/window_table.h"

#include "core/handles.h"

namespace user {
namespace {

layer::HandleTable<Window> &table() {
    static layer::HandleTable<Window> windows(layer::Kind::Window);
    return windows;
}

}  // namespace

HWND add_window(std::unique_ptr<Window> window) {
    Window *added = window.get();
    HWND hwnd = static_cast<HWND>(table().add(std::move(window)));
    if (hwnd) added->handle = hwnd;
    return hwnd;
}

Window *window_of(HWND hwnd) { return table().get(hwnd); }

Window *find_window(HWND hwnd) {
    Window *window = window_of(hwnd);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

void remove_window(HWND hwnd) { table().remove(hwnd); }

size_t live_windows() { return table().live(); }

HWND window_to_paint(HWND only) {
    HWND found = nullptr;
    table().for_each([&](const Window &w) {
        if (!found && w.update.needs_paint() && (w.style & WS_VISIBLE) && (!only || w.handle == only))
            found = w.handle;
    });
    return found;
}

}  // namespace user
