// What a window has to paint: its update region (kept as the bounding rectangle), whether that is
// to be erased first, and the area of the paint in progress.
#pragma once
#include <windows.h>

namespace user {

class UpdateRegion {
public:
    // Adds the part of the area inside the client area; erase asks for an erase before the paint.
    void invalidate(const RECT &area, const RECT &client, bool erase);
    bool needs_paint() const { return invalid_; }

    struct Paint {
        RECT area;  // empty when no paint was due
        bool erase;
    };
    // Starts a paint of the update region and validates it at once, so that what the paint itself
    // invalidates is painted again.
    Paint begin_paint();
    void end_paint() { painting_ = false; }

    // What the default erase fills: the area of the paint in progress, else the whole client area.
    RECT erase_area(const RECT &client) const { return painting_ ? paint_area_ : client; }

private:
    bool invalid_ = false;  // update_ needs a paint
    bool erase_ = false;    // ... and an erase first
    RECT update_ = {};
    bool painting_ = false;  // between begin_paint() and end_paint()
    RECT paint_area_ = {};
};

}  // namespace user
