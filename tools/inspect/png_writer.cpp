#include "png_writer.h"

#include "codecs/file_output.h"
#include "refusal.h"

namespace inspect {

void write_png(const std::string &path, const Picture &picture) {
    if (picture.width <= 0 || picture.height <= 0)
        throw Refusal("expected a picture of at least one pixel to write", -1, path);
    std::string error;
    if (!codecs::write_file(path, codecs::Format::Png, picture.surface(), &error))
        throw Refusal("expected a PNG file that can be written (" + error + ")", -1, path);
}

}  // namespace inspect
