#include "support/canvas.h"

namespace benchtest {

Canvas::Canvas(int width, int height, uint32_t fill) : width_(width) {
    dc_ = CreateCompatibleDC(NULL);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    bits_ = static_cast<uint32_t *>(bits);
    previous_ = SelectObject(dc_, section_);
    if (bits_)
        for (int i = 0; i < width * height; ++i) bits_[i] = fill;
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(section_);
    DeleteDC(dc_);
}

}  // namespace benchtest
