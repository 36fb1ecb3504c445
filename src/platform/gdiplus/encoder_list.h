// The image encoders GDI+ lists, and finding one by its CLSID.
#pragma once
#include <gdiplus.h>

namespace gdiplus {

enum class Format { Bmp, Jpeg, Png };

// False for a CLSID that names no encoder (an all-zero one included).
bool find_encoder(const CLSID &clsid, Format *format);

}  // namespace gdiplus
