// Painting: the update region, paint and window device contexts.
#pragma once
#include "user/window.h"

namespace user {

// The area that the default erase fills: what the current paint repaints, else the client area.
RECT erase_area(const Window &window);

// Releases the device contexts still handed out on a window that goes away.
void release_all_dcs(Window &window);

}  // namespace user
