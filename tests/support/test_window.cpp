#include "support/test_window.h"


namespace benchtest {
namespace {

// The frame around the client area: outer size minus client size.
const int kFrameWidth = 20;
const int kFrameHeight = 43;

const char *register_class() {
    static const char *name = [] {
        WNDCLASSEXA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "TestWindow";
        RegisterClassExA(&wc);
        return "TestWindow";
    }();
    return name;
}

}  // namespace

TestWindow::TestWindow(int client_width, int client_height) {
    hwnd_ = CreateWindowExA(0, register_class(), "Test", WS_OVERLAPPEDWINDOW, 0, 0, client_width + kFrameWidth,
                            client_height + kFrameHeight, NULL, NULL, NULL, NULL);
    dc_ = GetDC(hwnd_);
}

TestWindow::~TestWindow() {
    ReleaseDC(hwnd_, dc_);
    DestroyWindow(hwnd_);
}

int TestWindow::width() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return rc.right - rc.left;
}

int TestWindow::height() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return rc.bottom - rc.top;
}

uint32_t TestWindow::rgb(int x, int y) const {
    COLORREF c = GetPixel(dc_, x, y);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

void TestWindow::paint_pattern() const {
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) SetPixel(dc_, x, y, RGB(x * 7 + y, y * 3, (x ^ y) & 0xFF));
}

unsigned gdi_objects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace benchtest
