// Writes a picture as an 8-bit RGB PNG.
#pragma once
#include <string>

#include "picture.h"

namespace inspect {

constexpr int kPngLevel = 6;  // zlib's default, which the writer keeps

// Encodes into a temporary file beside `path` and renames it over `path`, so that a reader never
// sees half a file. Throws Refusal (naming `path`) when it cannot be written.
void write_png(const std::string &path, const Picture &picture);

}  // namespace inspect
