// What the window system needs from the place a window is shown: it presents the window's backing
// surface, pushes its native input into the input queue as input events and shows message boxes.
// One backend shows one window.
#pragma once
#include <windows.h>

#include "display/input_queue.h"
#include "engine/surface.h"
#include "sys/readable.h"

namespace display {

class Backend : public InputSource {
public:
    // Shows the window with its title and client size.
    virtual void open(const char *title, int width, int height) = 0;
    // Hides the window again; its events stop.
    virtual void close() = 0;
    virtual void present(const gdi::Surface &surface) = 0;
    // True when a user may still act on the window, so that input can come after a key script.
    virtual bool has_user() const = 0;
    // The user's answer, or 0 when the backend cannot show the box.
    virtual int message_box(const char *text, const char *caption, UINT type) = 0;
    // The size of the display the window shows on; false when there is none.
    virtual bool display_size(int *, int *) const { return false; }
    // push_next() pushes the window's next input event, waiting for one while the backend has a user.
    // The same, but false, pushing none, once fd has something to read; without a user it only
    // waits for that.
    virtual bool push_next_until_readable(int fd) {
        sys::wait_readable(fd, -1);
        return false;
    }
};

}  // namespace display
