// Small image files whose headers claim a size their data does not hold: generated test images
// with only the size in the header changed.
#pragma once
#include <string>

namespace benchtest {

// A baseline 4:2:0 JPEG whose frame header says width x height (each at most 65535).
std::string jpeg_claiming(int width, int height);
// An 8-bit RGB PNG whose header says width x height, its checksum made right.
std::string png_claiming(int width, int height);

}  // namespace benchtest
