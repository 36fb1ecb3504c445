// Reads a three-number dump (ten bytes an element: blue, green, red as "%3d" and a space).
#pragma once
#include <cstdint>
#include <cstdlib>
#include <string>

namespace benchtest {

class DumpFile {
public:
    explicit DumpFile(std::string text) : text_(std::move(text)) {}
    size_t size() const { return text_.size(); }
    // The element of row r, column c of a 1280-wide grab, as 0x00RRGGBB.
    uint32_t rgb(int r, int c, int width = 1280) const {
        const char *e = text_.data() + (size_t(r) * width + c) * 10;
        return (number(e + 6) << 16) | (number(e + 3) << 8) | number(e);
    }

private:
    static uint32_t number(const char *three) { return uint32_t(std::strtoul(std::string(three, 3).c_str(), nullptr, 10)); }
    std::string text_;
};

}  // namespace benchtest
