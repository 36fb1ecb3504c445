#include "user/client_area.h"

#include <algorithm>

namespace user {

void ClientArea::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    pixels_.assign(size_t(width) * height, 0xFFFFFFFF);  // opaque white, as fills write it
    surface_.bits = reinterpret_cast<uint8_t *>(pixels_.data());
    surface_.width = width;
    surface_.height = height;
    surface_.stride = width * 4;
    surface_.bottom_up = false;
}

}  // namespace user
