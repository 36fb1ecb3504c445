// An in-process window of a chosen client size on the headless display, for tests that call the
// program's routines directly.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace benchtest {

class TestWindow {
public:
    TestWindow(int client_width, int client_height);
    ~TestWindow();
    TestWindow(const TestWindow &) = delete;
    TestWindow &operator=(const TestWindow &) = delete;

    HWND hwnd() const { return hwnd_; }
    HDC dc() const { return dc_; }  // a window device context, released with the window
    int width() const;
    int height() const;

    // Colour of the client-area pixel as 0x00RRGGBB, read through GetPixel.
    uint32_t rgb(int x, int y) const;
    // Fills the client area with a deterministic colourful pattern.
    void paint_pattern() const;

private:
    HWND hwnd_ = NULL;
    HDC dc_ = NULL;
};

// Live GDI objects, as the platform counts them.
unsigned gdi_objects();

}  // namespace benchtest
