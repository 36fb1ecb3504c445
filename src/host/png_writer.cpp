#include "host/png_writer.h"

#include "codecs/file_output.h"

namespace host {

bool write_png(const std::string &path, const display::Frame &frame, std::string *error) {
    if (frame.width <= 0 || frame.height <= 0) {
        *error = "no window was shown";
        return false;
    }
    gdi::Surface image;  // plain 32 bits, whose top byte the PNG leaves out
    image.bits = reinterpret_cast<uint8_t *>(const_cast<uint32_t *>(frame.pixels.data()));
    image.width = frame.width;
    image.height = frame.height;
    image.stride = frame.width * 4;
    return codecs::write_file(path, codecs::Format::Png, image, error);
}

}  // namespace host
