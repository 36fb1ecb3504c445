// The GDI+ objects the layer hands out, behind handle tables so that a stale or forged
// GpImage or GpGraphics pointer is recognised instead of dereferenced.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>

#include "codecs/raster.h"

namespace gdiplus {

struct Graphics {
    HDC hdc;
};

// Each returns null when the table is full.
Gdiplus::GpImage *add_image(std::unique_ptr<codecs::Raster> raster);
Gdiplus::GpGraphics *add_graphics(std::unique_ptr<Graphics> graphics);

// Null for anything but a live object of the kind.
codecs::Raster *find_image(Gdiplus::GpImage *image);
Graphics *find_graphics(Gdiplus::GpGraphics *graphics);

bool remove_image(Gdiplus::GpImage *image);
bool remove_graphics(Gdiplus::GpGraphics *graphics);

// Live objects, for tests and soak runs that prove nothing leaks.
size_t live_images();
size_t live_graphics();

}  // namespace gdiplus
