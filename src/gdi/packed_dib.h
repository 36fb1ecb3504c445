// The layout of a DIB description in memory, as packed DIBs and DIB headers lay it out.
#pragma once
#include <windows.h>

#include <cstddef>

namespace gdi {

// The bytes a header takes with its masks and colour table, which is where the pixels of a
// packed DIB start: masks follow the first 40 bytes (inside a larger header), a colour table
// the header. The header must be a core header or at least 40 bytes long.
size_t description_bytes(const BITMAPINFO *info);

}  // namespace gdi
