// What the screen shows: the shown window's client area at its place, black around it.
#pragma once

namespace user {

// Lets GDI's screen read the windows, on a screen of the display's size when there is a display.
void attach_screen();

}  // namespace user
