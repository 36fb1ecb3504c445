// A memory device context holding a 32-bit top-down DIB section filled with one colour: a
// drawing target whose pixels a test can read straight from memory.
#pragma once
#include <windows.h>

#include <cstdint>

namespace benchtest {

class Canvas {
public:
    Canvas(int width, int height, uint32_t fill = 0xFFFFFF);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    bool ready() const { return dc_ && section_ && bits_; }
    HDC dc() const { return dc_; }
    uint32_t rgb(int x, int y) const { return bits_[size_t(y) * width_ + x] & 0xFFFFFF; }

private:
    int width_;
    HDC dc_ = NULL;
    HBITMAP section_ = NULL;
    HGDIOBJ previous_ = NULL;
    uint32_t *bits_ = nullptr;
};

}  // namespace benchtest
