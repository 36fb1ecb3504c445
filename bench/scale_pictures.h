// Pictures of any size for the scale benchmark: a smooth gradient with noise on it, so that the
// encoders and the comparison have real detail to work on, written as a baseline 4:2:0 JPEG, as
// three-number dumps ("%3d" blue, green, red and a space per pixel) and as raw captures (24-bit
// top-down rows, each padded to four bytes).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace scalepictures {

inline uint8_t clamped(int value) { return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value); }

// Row y of the picture, as blue, green, red bytes.
inline void bgr_row(int width, int height, int y, uint8_t *bgr) {
    for (int x = 0; x < width; ++x) {
        uint32_t noise = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
        noise ^= noise >> 15;
        noise *= 0x2C1B3C6Du;
        noise ^= noise >> 12;
        bgr[3 * x] = clamped(x * 255 / width + int(noise & 31) - 16);
        bgr[3 * x + 1] = clamped(y * 255 / height + int((noise >> 8) & 31) - 16);
        bgr[3 * x + 2] = clamped((x + y) * 255 / (width + height) + int((noise >> 16) & 31) - 16);
    }
}

// Writes the picture to every one of `paths`, each row turned into bytes by encode(bgr, &bytes).
template <class Encode>
bool write_rows(const std::vector<std::string> &paths, int width, int height, Encode encode) {
    std::vector<FILE *> files;
    bool ok = true;
    for (const std::string &path : paths) {
        files.push_back(std::fopen(path.c_str(), "wb"));
        ok = ok && files.back();
    }
    std::vector<uint8_t> bgr(size_t(width) * 3);
    std::string bytes;
    for (int y = 0; ok && y < height; ++y) {
        bgr_row(width, height, y, bgr.data());
        encode(bgr, &bytes);
        for (FILE *file : files) ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    for (FILE *file : files)
        if (file && std::fclose(file) != 0) ok = false;
    return ok;
}

inline bool write_three_number_dumps(const std::vector<std::string> &paths, int width, int height) {
    static char numbers[256][4];
    for (int v = 0; v < 256; ++v) std::snprintf(numbers[v], sizeof numbers[v], "%3d", v);
    return write_rows(paths, width, height, [](const std::vector<uint8_t> &bgr, std::string *bytes) {
        bytes->resize(bgr.size() / 3 * 10);
        char *out = &(*bytes)[0];
        for (size_t i = 0; i < bgr.size(); i += 3, out += 10) {
            std::memcpy(out, numbers[bgr[i]], 3);
            std::memcpy(out + 3, numbers[bgr[i + 1]], 3);
            std::memcpy(out + 6, numbers[bgr[i + 2]], 3);
            out[9] = ' ';
        }
    });
}

inline bool write_raw_captures(const std::vector<std::string> &paths, int width, int height) {
    return write_rows(paths, width, height, [](const std::vector<uint8_t> &bgr, std::string *bytes) {
        bytes->assign(bgr.begin(), bgr.end());
        bytes->resize((bgr.size() + 3) & ~size_t(3), '\0');
    });
}

// libjpeg's defaults: baseline, 4:2:0, standard Huffman tables. Its errors end the benchmark.
inline bool write_jpeg(const std::string &path, int width, int height, int quality) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_error_mgr errors;
    jpeg_compress_struct encoder;
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = JDIMENSION(width);
    encoder.image_height = JDIMENSION(height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    std::vector<uint8_t> bgr(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        bgr_row(width, height, y, bgr.data());
        JSAMPROW row = bgr.data();
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return std::fclose(file) == 0;
}

}  // namespace scalepictures
