// What the window system needs from the place a window is shown: it presents the window's backing
// surface, translates its native input into input events and shows message boxes. One backend
// shows one window.
#pragma once
#include <windows.h>

#include "engine/surface.h"

namespace display {

struct InputEvent {
    enum class Type {
        None,    // nothing more will come
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

class Backend {
public:
    virtual ~Backend() = default;

    // Shows the window with its title and client size.
    virtual void open(const char *title, int width, int height) = 0;
    // Hides the window again; its events stop.
    virtual void close() = 0;
    virtual void present(const gdi::Surface &surface) = 0;
    // True when a user may still act on the window, so that input can come after a key script.
    virtual bool has_user() const = 0;
    // The next input event, waiting for one when the backend has a user.
    virtual InputEvent next_event() = 0;
    // The user's answer, or 0 when the backend cannot show the box.
    virtual int message_box(const char *text, const char *caption, UINT type) = 0;
    // The size of the display the window shows on; false when there is none.
    virtual bool display_size(int *, int *) const { return false; }
};

}  // namespace display
