// Image files written whole or not at all: the encoder writes a temporary file beside the target,
// which replaces the target only once complete, so that a failure leaves the previous file as it
// was and no temporary behind.
#pragma once
#include <string>

#include "codecs/formats.h"
#include "engine/surface.h"

namespace codecs {

// False, with the reason (the system's for a failed write, else the codec's), when the file cannot
// be written.
bool write_file(const std::string &path, Format format, const gdi::Surface &image, std::string *error);

}  // namespace codecs
