// Reading a whole image file named by a wide string.
#pragma once
#include <gdiplus.h>

#include <cstdint>
#include <vector>

namespace gdiplus {

// GenericError when the file cannot be opened or read (missing, a directory, no permission),
// OutOfMemory when it is too large to hold.
Gdiplus::Status read_file_bytes(const WCHAR *name, std::vector<uint8_t> *bytes);

}  // namespace gdiplus
