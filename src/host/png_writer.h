// PNG files (8-bit RGB): the client area for --screenshot, and any picture given row by row.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "display/screen.h"

namespace host {

// Fills row y of the picture as R, G, B bytes.
using RgbRowFiller = std::function<void(int y, uint8_t *rgb)>;

// Writes a temporary file beside path that replaces it only once complete, so a failure leaves the
// previous file as it was. False, with the reason, when the file cannot be written.
bool write_rgb_png(const std::string &path, int width, int height, const RgbRowFiller &fill_row,
                   std::string *error);
bool write_png(const std::string &path, const display::Frame &frame, std::string *error);

}  // namespace host
