// The client area as a PNG file (8-bit RGB).
#pragma once
#include <string>

#include "display/screen.h"

namespace host {

// False, with the reason, when the file cannot be written.
bool write_png(const std::string &path, const display::Frame &frame, std::string *error);

}  // namespace host
