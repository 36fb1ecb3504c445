#include "user/input.h"

#include <windows.h>

#include "display/input_queue.h"
#include "display/screen.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace user {
namespace {

// The key's lParam: repeat count 1, bit 29 when Alt is held, bit 30 when the key was already down.
LPARAM key_param(const display::InputEvent &event) {
    LPARAM param = 1;
    if (event.alt) param |= LPARAM(1) << 29;
    if (event.repeat) param |= LPARAM(1) << 30;
    return param;
}

}  // namespace

bool take_input() {
    using Type = display::InputEvent::Type;
    HWND target = display::shown_window();
    display::InputEvent event;
    if (!target || !display::next_input(&event)) return false;
    switch (event.type) {
        case Type::None:
            return false;
        case Type::Key:
        case Type::SysKey: {
            UINT message = event.type == Type::Key ? WM_KEYDOWN : WM_SYSKEYDOWN;
            post(make_msg(target, message, event.vk, key_param(event)));
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

}  // namespace user
