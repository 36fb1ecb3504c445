// Drawing surfaces on device contexts, and drawing images at their pixel size.
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "codecs/jpeg_rows.h"
#include "core/out_of_memory.h"
#include "gdi/gdi_internal.h"
#include "gdiplus/objects.h"
#include "gdiplus/startup.h"

using namespace Gdiplus;

namespace {

constexpr int kBandRows = 16;
constexpr int kEdgeColumns = 32;  // the widest block a JPEG has

// Decodes only the rows and columns of a JPEG kept as its file that land on the surface (and the
// blocks beside them), a band of rows at a time; the picture is opaque.
Status draw_kept_jpeg(HDC hdc, const gdi::Surface &surface, INT x, INT y, const gdiplus::Image &image) {
    int64_t top = std::max<int64_t>(0, -int64_t(y)), bottom = std::min<int64_t>(image.height, int64_t(surface.height) - y);
    int64_t left = std::max<int64_t>(0, -int64_t(x)), right = std::min<int64_t>(image.width, int64_t(surface.width) - x);
    if (top >= bottom || left >= right) return Ok;
    // A block's width more on each side: the library makes the pixels at the edges of a cut as
    // if nothing lay beyond them, and these columns are off the surface.
    left = std::max<int64_t>(0, left - kEdgeColumns);
    right = std::min<int64_t>(image.width, right + kEdgeColumns);
    codecs::Message message;
    codecs::JpegRows rows;
    int first = int(left), count = int(right - left);
    bool ready = rows.open(image.file->data(), image.file->size(), &message) == codecs::Status::Ok &&
                 rows.crop(&first, &count, &message) == codecs::Status::Ok &&
                 rows.skip(int(top), &message) == codecs::Status::Ok;
    std::vector<uint32_t> band(size_t(count) * kBandRows);
    for (int row = int(top); ready && row < bottom; row += kBandRows) {
        int n = int(std::min<int64_t>(kBandRows, bottom - row));
        ready = rows.read(reinterpret_cast<uint8_t *>(band.data()), size_t(count) * 4, n, &message) == codecs::Status::Ok;
        if (ready) gdi::draw_bgra(hdc, x + first, y + row, band.data(), count, n, false);
    }
    return ready ? Ok : GenericError;
}

}  // namespace

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
    const gdiplus::Image *found = gdiplus::find_image(image);
    if (!target || !found) return InvalidParameter;
    const gdi::Surface *surface = gdi::surface_of(target->hdc);
    if (!surface) return Win32Error;
    if (found->file) return draw_kept_jpeg(target->hdc, *surface, x, y, *found);
    const codecs::Raster &raster = found->raster;
    gdi::draw_bgra(target->hdc, x, y, raster.pixels.get(), raster.width, raster.height, raster.has_alpha);
    return Ok;
} OUT_OF_MEMORY_RETURNS(OutOfMemory)
