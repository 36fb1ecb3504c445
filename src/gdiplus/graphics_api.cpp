// Drawing surfaces on device contexts, and drawing images at their pixel size.
#include <gdiplus.h>

#include <memory>
#include <new>

#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"
#include "gdiplus/objects.h"
#include "gdiplus/startup.h"

using namespace Gdiplus;

// A context that is not a live device context gives OutOfMemory, as on the platform.
extern "C" Status WINAPI GdipCreateFromHDC(HDC hdc, GpGraphics **graphics) try {
    if (!graphics) return InvalidParameter;
    *graphics = nullptr;
    if (!gdiplus::started()) return GdiplusNotInitialized;
    if (!gdi::surface_of(hdc)) return OutOfMemory;
    std::unique_ptr<gdiplus::Graphics> object(new (std::nothrow) gdiplus::Graphics{hdc});
    if (!object) return OutOfMemory;
    *graphics = gdiplus::add_graphics(std::move(object));
    return *graphics ? Ok : OutOfMemory;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)

// Deletion works whether or not GDI+ is running, so that nothing leaks; null is fine.
extern "C" Status WINAPI GdipDeleteGraphics(GpGraphics *graphics) {
    if (!graphics) return Ok;
    return gdiplus::remove_graphics(graphics) ? Ok : InvalidParameter;
}

// Draws at the image's size in pixels (no resolution scaling), blending where the image has
// alpha. A device context released since the surface was made gives Win32Error.
extern "C" Status WINAPI GdipDrawImageI(GpGraphics *graphics, GpImage *image, INT x, INT y) try {
    if (!gdiplus::started()) return GdiplusNotInitialized;
    const gdiplus::Graphics *target = gdiplus::find_graphics(graphics);
    const codecs::Raster *raster = gdiplus::find_image(image);
    if (!target || !raster) return InvalidParameter;
    if (!gdi::surface_of(target->hdc)) return Win32Error;
    gdi::draw_bgra(target->hdc, x, y, raster->pixels.get(), raster->width, raster->height, raster->has_alpha);
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)
