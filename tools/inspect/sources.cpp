#include "sources.h"

#include "codecs/formats.h"
#include "dump_parser.h"
#include "engine/blit_engine.h"
#include "raw_readers.h"
#include "refusal.h"

namespace inspect {
namespace {

// Bytes the format is told by: sniffing looks at no more.
constexpr size_t kSniffBytes = 4096;

uint8_t *room(std::vector<uint8_t> *buffer, size_t bytes) {
    if (buffer->size() < bytes) buffer->resize(bytes);
    return buffer->data();
}

// BMP, JPEG and PNG, decoded whole when opened.
class ImageSource : public PictureSource {
public:
    ImageSource(FileInfo file_info, Picture picture)
        : PictureSource(std::move(file_info)), picture_(std::move(picture)) {}
    const uint8_t *band(uint64_t first, size_t) override { return picture_.bgr.data() + 3 * first; }

private:
    Picture picture_;
};

// Through the layer's own decoders, so the tool reads what the bench reads.
std::unique_ptr<PictureSource> decode_image(const InputFile &file, FileInfo info, codecs::Format codec) {
    const codecs::FormatRow &format = codecs::format_row(codec);
    codecs::Raster raster;
    codecs::Message message;
    codecs::Status status;
    {
        std::vector<uint8_t> data = file.whole();
        status = format.decode(data.data(), data.size(), &raster, &message);
    }
    if (status == codecs::Status::OutOfMemory)
        throw OutOfMemory("decoding " + file.path() + " (its picture is over " +
                          std::to_string(codecs::kMaxPixels >> 20) + " megapixels or does not fit in memory)");
    if (status != codecs::Status::Ok) {
        std::string said = message.text[0] ? std::string("; its decoder says: ") + message.text : "";
        throw expected(std::string("a ") + format.name + " file its decoder accepts" + said, -1);
    }
    Picture picture;
    try {
        picture = Picture(raster.width, raster.height);
    } catch (const std::bad_alloc &) {
        throw OutOfMemory("holding the picture of " + file.path());
    }
    gdi::copy_pixels(raster.surface(), 0, 0, picture.surface(), 0, 0, raster.width, raster.height);
    info.width = raster.width;
    info.height = raster.height;
    return std::make_unique<ImageSource>(std::move(info), std::move(picture));
}

class DeviceSource : public StreamedSource {
public:
    using StreamedSource::StreamedSource;
    const uint8_t *band(uint64_t first, size_t count) override {
        const uint8_t *bytes = read(first * 4, count * 4);
        uint8_t *out = pixels(count);
        at_offset(first * 4, [&] { read_device_dump(bytes, count, out); });
        return out;
    }
};

class RawSource : public StreamedSource {
public:
    using StreamedSource::StreamedSource;
    const uint8_t *band(uint64_t first, size_t count) override {
        ByteRange range = raw_capture_bytes(info.width, first, count);
        const uint8_t *bytes = read(range.begin, size_t(range.end - range.begin));
        if (row_stride24(info.width) == size_t(info.width) * 3) return bytes;  // no padding: the bytes are the pixels
        uint8_t *out = pixels(count);
        at_offset(range.begin, [&] { read_raw_capture(bytes, info.width, first, count, out); });
        return out;
    }
};

// Bytes a pixel of a dump or device dump, as the file holds them.
uint64_t pixel_bytes(Format format) {
    return format == Format::ThreeNumberDump ? 10 : 4;
}

// A dump or device dump whose length is not its picture's: its whole pixels are read for a fault
// before the length is refused.
[[noreturn]] void refuse_length(PictureSource &source, const InputFile &file) {
    const FileInfo &info = source.info;
    uint64_t element = pixel_bytes(info.format), whole = file.size() / element;
    if (whole > info.pixels()) whole = info.pixels();
    for_each_band(whole, [&](uint64_t first, size_t count) { source.band(first, count); });
    if (info.format == Format::DeviceDump)
        throw Refusal(length_mismatch(file.size(), info.pixels() * element, info.width, info.height, 4), -1);
    uint8_t tail[16] = {};
    if (file.size() < info.pixels() * element) file.read(whole * element, tail, size_t(file.size() % element));
    refuse_dump_length(tail, file.size(), info.width, info.height, info.format == Format::ThreeNumberDump ? 3 : 1);
}

std::unique_ptr<PictureSource> open_streamed(std::unique_ptr<InputFile> file, FileInfo info) {
    const InputFile &input = *file;
    if (info.format == Format::RawCapture) {
        uint64_t expected_size = row_stride24(info.width) * uint64_t(info.height);
        if (input.size() != expected_size)
            throw Refusal(length_mismatch(input.size(), expected_size, info.width, info.height, 3), -1);
        return std::make_unique<RawSource>(std::move(file), std::move(info));
    }
    std::unique_ptr<PictureSource> source;
    if (info.format == Format::DeviceDump)
        source = std::make_unique<DeviceSource>(std::move(file), std::move(info));
    else
        source = std::make_unique<DumpSource>(std::move(file), std::move(info));
    if (input.size() != source->info.pixels() * pixel_bytes(source->info.format)) refuse_length(*source, input);
    return source;
}

}  // namespace

const uint8_t *StreamedSource::read(uint64_t offset, size_t bytes) {
    uint8_t *data = room(&bytes_, bytes);
    file_->read(offset, data, bytes);
    return data;
}

uint8_t *StreamedSource::pixels(size_t count) { return room(&pixels_, 3 * count); }

DumpSource::DumpSource(std::unique_ptr<InputFile> file, FileInfo file_info)
    : StreamedSource(std::move(file), std::move(file_info)), numbers_(info.format == Format::ThreeNumberDump ? 3 : 1),
      element_(uint64_t(3 * numbers_ + 1)) {}

const uint8_t *DumpSource::band(uint64_t first, size_t count) {
    const uint8_t *data = bytes(first, count);
    uint8_t *out = pixels(count);
    at_offset(first * element_, [&] { parse_dump_elements(data, numbers_, 0, count, out); });
    return out;
}

std::unique_ptr<PictureSource> open_source(const std::string &path, const ReadRequest &request) {
    return naming(path, [&]() -> std::unique_ptr<PictureSource> {
        auto file = std::make_unique<InputFile>(path);
        FileInfo info{path, Format::RawCapture, request.width, request.height};
        if (request.format) {
            info.format = *request.format;
        } else {
            std::vector<uint8_t> head = file->head(kSniffBytes);
            info.format = sniff_format(head.data(), head.size(), file->size(), request.width, request.height);
        }
        if (std::optional<codecs::Format> codec = image_codec(info.format))
            return decode_image(*file, std::move(info), *codec);
        return open_streamed(std::move(file), std::move(info));
    });
}

void read_through(PictureSource &source) {
    for_each_band(source.info.pixels(), [&](uint64_t first, size_t count) { source.band(first, count); });
}

}  // namespace inspect
