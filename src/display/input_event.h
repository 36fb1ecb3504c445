// An input event: what happened at the window, in the window system's terms.
#pragma once
#include <windows.h>

namespace display {

struct InputEvent {
    enum class Type {
        None,    // nothing the window system takes
        Key,     // WM_KEYDOWN
        SysKey,  // WM_SYSKEYDOWN: with Alt held, and F10
        Close,   // the close box
        Resize,  // the client area changed to width x height
        Expose,  // part of the window was uncovered and must be painted again
    };
    Type type = Type::None;
    UINT vk = 0;          // Key, SysKey: the virtual-key code
    bool repeat = false;  // Key, SysKey: auto-repeat of a held key
    bool alt = false;     // Key, SysKey: Alt is held (F10 alone is a system key without it)
    int width = 0;        // Resize
    int height = 0;
};

// A key press: the Alt key itself or a held Alt sets `alt`; that, or F10 alone, makes it a system key.
inline InputEvent key_input(UINT vk, bool alt_held, bool repeat = false) {
    InputEvent event;
    event.vk = vk;
    event.alt = alt_held || vk == VK_MENU;
    event.type = event.alt || vk == VK_F10 ? InputEvent::Type::SysKey : InputEvent::Type::Key;
    event.repeat = repeat;
    return event;
}

}  // namespace display
