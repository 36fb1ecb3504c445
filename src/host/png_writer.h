// The client area as a PNG file (8-bit RGB), for --screenshot.
#pragma once
#include <string>

#include "display/screen.h"

namespace host {

// Writes a temporary file beside path that replaces it only once complete, so a failure leaves the
// previous file as it was. False, with the reason, when the file cannot be written.
bool write_png(const std::string &path, const display::Frame &frame, std::string *error);

}  // namespace host
