#include "user/client_area.h"

#include <algorithm>
#include <new>

namespace user {

void ClientArea::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    size_t count = size_t(width) * size_t(height);
    std::unique_ptr<uint32_t[], sys::LargeRelease> pixels(
        reinterpret_cast<uint32_t *>(sys::acquire_large(count * 4, false)), sys::LargeRelease{count * 4});
    if (!pixels) throw std::bad_alloc();
    std::fill_n(pixels.get(), count, 0xFFFFFFFFu);  // opaque white, as fills write it
    pixels_ = std::move(pixels);
    surface_.bits = reinterpret_cast<uint8_t *>(pixels_.get());
    surface_.width = width;
    surface_.height = height;
    surface_.stride = width * 4;
    surface_.bottom_up = false;
}

}  // namespace user
