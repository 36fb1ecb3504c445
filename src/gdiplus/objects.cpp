#include "gdiplus/objects.h"

#include "core/handles.h"
#include "gdiplus/codec_table.h"

namespace gdiplus {
namespace {

layer::HandleTable<Image> &images() {
    static layer::HandleTable<Image> table(layer::Kind::Image);
    return table;
}

layer::HandleTable<Graphics> &graphics_table() {
    static layer::HandleTable<Graphics> table(layer::Kind::Graphics);
    return table;
}

}  // namespace

Gdiplus::GpImage *add_image(std::unique_ptr<Image> image) {
    return static_cast<Gdiplus::GpImage *>(images().add(std::move(image)));
}

Gdiplus::GpGraphics *add_graphics(std::unique_ptr<Graphics> graphics) {
    return static_cast<Gdiplus::GpGraphics *>(graphics_table().add(std::move(graphics)));
}

Image *find_image(Gdiplus::GpImage *image) { return images().get(image); }

codecs::Raster *find_pixels(Gdiplus::GpImage *image) {
    Image *found = images().get(image);
    return found && decode_whole(found) == Gdiplus::Ok ? &found->raster : nullptr;
}

Graphics *find_graphics(Gdiplus::GpGraphics *graphics) { return graphics_table().get(graphics); }

bool remove_image(Gdiplus::GpImage *image) { return images().remove(image) != nullptr; }

bool remove_graphics(Gdiplus::GpGraphics *graphics) { return graphics_table().remove(graphics) != nullptr; }

size_t live_images() { return images().live(); }

size_t live_graphics() { return graphics_table().live(); }

}  // namespace gdiplus
