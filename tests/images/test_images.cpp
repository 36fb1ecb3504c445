#include "test_images.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace testimages {

uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) { return a << 24 | r << 16 | g << 8 | b; }

unsigned channel(uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

unsigned expand_channel(uint32_t value, int bits) {
    if (bits >= 8) return value >> (bits - 8);
    unsigned twice = value << bits | value;
    return bits * 2 >= 8 ? twice >> (bits * 2 - 8) : twice << (8 - bits * 2);
}

uint32_t narrow_channel(unsigned value8, int bits) {
    if (bits <= 8) return value8 >> (8 - bits);
    uint32_t wide = 0;
    int filled = 0;
    for (; filled < bits; filled += 8) wide = wide << 8 | value8;
    return wide >> (filled - bits);
}

Picture photo(int width, int height) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned texture = (x * 7 + y * 13 + (x * y) % 11) % 24;
            unsigned r = unsigned(x * 200 / width) + texture;
            unsigned g = unsigned(y * 200 / height) + (texture ^ 9);
            unsigned b = unsigned(((x + y) * 160) / (width + height)) + 60 + texture / 2;
            picture.at(x, y) = argb(255, r, g, b);
        }
    return picture;
}

Folder::Folder(const std::string &root, const std::string &name) : dir_(root + "/" + name) {
    for (const char *sub : {"g", "q", "b", "ref"}) std::filesystem::create_directories(dir_ + "/" + sub);
    index_.open(dir_ + "/INDEX.txt");
    index_ << "Generated test images: file | verdict | facts | ref: expected rendering\n";
}

Folder::~Folder() {
    index_.close();
    if (!index_) {
        std::fprintf(stderr, "cannot write %s/INDEX.txt\n", dir_.c_str());
        std::exit(1);
    }
}

void Folder::add(const std::string &file, const std::string &bytes, const std::string &verdict,
                 const std::string &facts, const Picture *expected) {
    write_file(dir_ + "/" + file, bytes);
    std::string reference = "-";
    if (expected) {
        std::string stem = std::filesystem::path(file).stem().string();
        reference = stem + ".png";
        write_file(dir_ + "/ref/" + reference, png_of(*expected));
    }
    index_ << file << " | " << verdict << " | " << facts << " | ref: " << reference << "\n";
}

void write_file(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string png_of(const Picture &picture) {
    std::vector<uint8_t> rgba;
    rgba.reserve(picture.pixels.size() * 4);
    for (uint32_t p : picture.pixels)
        for (int shift : {16, 8, 0, 24}) rgba.push_back(uint8_t(channel(p, shift)));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, &bytes[0], &size, 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "libpng: %s\n", image.message);
        std::exit(1);
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace testimages
