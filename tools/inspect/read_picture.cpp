#include "read_picture.h"

#include <exception>
#include <thread>

#include "dump_parser.h"
#include "gdiplus/decoders.h"
#include "mapped_file.h"
#include "raw_readers.h"
#include "refusal.h"

namespace inspect {
namespace {

// BMP, JPEG and PNG through the layer's own decoders, so the tool reads what the bench reads.
Picture decode(Format format, const uint8_t *data, size_t size) {
    gdiplus::Raster raster;
    Gdiplus::Status status = format == Format::Bmp    ? gdiplus::decode_bmp(data, size, &raster)
                             : format == Format::Jpeg ? gdiplus::decode_jpeg(data, size, &raster)
                                                      : gdiplus::decode_png(data, size, &raster);
    if (status != Gdiplus::Ok) throw Refusal{std::string("a ") + format_description(format) + " file its decoder accepts", -1};
    Picture picture(raster.width, raster.height);
    uint8_t *out = picture.bgr.data();
    for (int y = 0; y < raster.height; ++y) {
        const uint32_t *row = raster.row(y);
        for (int x = 0; x < raster.width; ++x, out += 3) {
            out[0] = uint8_t(row[x]);
            out[1] = uint8_t(row[x] >> 8);
            out[2] = uint8_t(row[x] >> 16);
        }
    }
    return picture;
}

Picture parse(Format format, const uint8_t *data, size_t size, int width, int height) {
    if (format == Format::Bmp || format == Format::Jpeg || format == Format::Png) return decode(format, data, size);
    Picture picture(width, height);
    switch (format) {
    case Format::ThreeNumberDump: parse_three_number_dump(data, size, &picture); break;
    case Format::OneNumberDump: parse_one_number_dump(data, size, &picture); break;
    case Format::DeviceDump: read_device_dump(data, size, &picture); break;
    default: read_raw_capture(data, size, &picture); break;
    }
    return picture;
}

}  // namespace

LoadedPicture read_picture(const std::string &path, const ReadRequest &request) {
    try {
        MappedFile file(path);
        LoadedPicture loaded;
        loaded.file = path;
        loaded.format = request.format ? *request.format
                                       : sniff_format(file.data(), file.size(), request.width, request.height);
        loaded.picture = parse(loaded.format, file.data(), file.size(), request.width, request.height);
        return loaded;
    } catch (Refusal &refusal) {
        refusal.file = path;
        throw;
    }
}

void read_both(const std::string &path_a, const std::string &path_b, const ReadRequest &request, LoadedPicture *a,
               LoadedPicture *b) {
    std::exception_ptr b_failed;
    std::thread reader([&] {
        try {
            *b = read_picture(path_b, request);
        } catch (...) {
            b_failed = std::current_exception();
        }
    });
    try {
        *a = read_picture(path_a, request);
    } catch (...) {
        reader.join();
        throw;
    }
    reader.join();
    if (b_failed) std::rethrow_exception(b_failed);
}

}  // namespace inspect
