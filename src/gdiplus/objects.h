// The GDI+ objects the layer hands out, behind handle tables so that a stale or forged
// GpImage or GpGraphics pointer is recognised instead of dereferenced.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>

#include "codecs/raster.h"
#include "gdiplus/file_bytes.h"

namespace gdiplus {

// An image's pixels, decoded whole; or, for a single-scan JPEG of over 64 MB of rows, its file,
// checked whole when it was loaded and decoded again a band at a time wherever its pixels are
// needed, so that re-encoding or drawing a part of a huge picture never holds all of it.
struct Image {
    int width = 0;
    int height = 0;
    codecs::Raster raster;
    std::unique_ptr<FileBytes> file;
};

struct Graphics {
    HDC hdc;
};

// Each returns null when the table is full.
Gdiplus::GpImage *add_image(std::unique_ptr<Image> image);
Gdiplus::GpGraphics *add_graphics(std::unique_ptr<Graphics> graphics);

// Null for anything but a live object of the kind.
Image *find_image(Gdiplus::GpImage *image);
// The image's pixels, decoded whole first if it is kept as its file; null also when they cannot be had.
codecs::Raster *find_pixels(Gdiplus::GpImage *image);
Graphics *find_graphics(Gdiplus::GpGraphics *graphics);

bool remove_image(Gdiplus::GpImage *image);
bool remove_graphics(Gdiplus::GpGraphics *graphics);

// Live objects, for tests and soak runs that prove nothing leaks.
size_t live_images();
size_t live_graphics();

}  // namespace gdiplus
