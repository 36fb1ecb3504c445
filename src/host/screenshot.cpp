#include "host/screenshot.h"

#include <strings.h>

#include <cstring>

#include "codecs/file_output.h"

namespace host {
namespace {

struct Extension {
    const char *suffix;
    codecs::Format format;
};

constexpr Extension kExtensions[] = {
    {".png", codecs::Format::Png}, {".bmp", codecs::Format::Bmp},
    {".jpg", codecs::Format::Jpeg}, {".jpeg", codecs::Format::Jpeg}};

bool ends_with(const std::string &path, const char *suffix) {
    size_t length = std::strlen(suffix);
    return path.size() > length && strcasecmp(path.c_str() + path.size() - length, suffix) == 0;
}

}  // namespace

bool screenshot_format(const std::string &path, codecs::Format *format, std::string *error) {
    const Extension *found = nullptr;
    for (const Extension &extension : kExtensions)
        if (ends_with(path, extension.suffix)) found = &extension;
    if (!found) {
        *error = "--screenshot writes .png, .bmp, .jpg or .jpeg files, not \"" + path + "\"";
        return false;
    }
    std::string refusal = codecs::output_refusal(path);
    if (!refusal.empty()) {
        *error = "--screenshot " + path + ": " + refusal;
        return false;
    }
    *format = found->format;
    return true;
}

bool write_screenshot(const std::string &path, codecs::Format format, const display::Frame &frame,
                      std::string *error) {
    if (frame.width <= 0 || frame.height <= 0) {
        *error = "no window was shown";
        return false;
    }
    gdi::Surface image;  // plain 32 bits, whose top byte the encoders leave out
    image.bits = reinterpret_cast<uint8_t *>(const_cast<uint32_t *>(frame.pixels.data()));
    image.width = frame.width;
    image.height = frame.height;
    image.stride = frame.width * 4;
    return codecs::write_file(path, format, image, error);
}

}  // namespace host
