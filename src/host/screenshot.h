// The client area as an image file when the program ends (--screenshot), in the format its name's
// extension gives.
#pragma once
#include <string>

#include "codecs/formats.h"
#include "display/screen.h"

namespace host {

// The format of a screenshot named path (.png, .bmp, .jpg or .jpeg, in either case), checked as
// the option is read: false, with the reason, for another extension or a name that no file may be
// written to (see codecs::output_refusal).
bool screenshot_format(const std::string &path, codecs::Format *format, std::string *error);

// Writes a temporary file beside path that replaces it only once complete, so a failure leaves the
// previous file as it was. False, with the reason, when the file cannot be written.
bool write_screenshot(const std::string &path, codecs::Format format, const display::Frame &frame,
                      std::string *error);

}  // namespace host
