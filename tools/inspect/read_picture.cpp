#include "read_picture.h"

#include <exception>
#include <memory>
#include <thread>

#include "codecs/formats.h"
#include "dump_pair.h"
#include "dump_parser.h"
#include "engine/blit_engine.h"
#include "mapped_file.h"
#include "raw_readers.h"
#include "refusal.h"

namespace inspect {
namespace {

// A file mapped and recognised, not yet read.
struct OpenFile {
    std::string path;
    std::unique_ptr<MappedFile> file;
    Format format = Format::RawCapture;
};

// Runs `here` on this thread and `there` on another; the exception of `here` comes first.
template <typename Here, typename There>
void run_both(Here here, There there) {
    std::exception_ptr there_failed;
    std::thread worker([&] {
        try {
            there();
        } catch (...) {
            there_failed = std::current_exception();
        }
    });
    try {
        here();
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (there_failed) std::rethrow_exception(there_failed);
}

// Calls f, naming the file in any refusal.
template <typename F>
auto naming(const std::string &path, F f) -> decltype(f()) {
    try {
        return f();
    } catch (Refusal &refusal) {
        refusal.file = path;
        throw;
    }
}

OpenFile open_file(const std::string &path, const ReadRequest &request) {
    return naming(path, [&] {
        OpenFile open;
        open.path = path;
        open.file = std::make_unique<MappedFile>(path);
        open.format = request.format ? *request.format
                                     : sniff_format(open.file->data(), open.file->size(), request.width, request.height);
        return open;
    });
}

// BMP, JPEG and PNG through the layer's own decoders, so the tool reads what the bench reads.
Picture decode(codecs::Format codec, const uint8_t *data, size_t size) {
    const codecs::FormatRow &format = codecs::format_row(codec);
    codecs::Raster raster;
    codecs::Message message;
    if (format.decode(data, size, &raster, &message) != codecs::Status::Ok)
        throw Refusal{std::string("a ") + format.name + " file its decoder accepts", -1};
    Picture picture(raster.width, raster.height);
    gdi::copy_pixels(raster.surface(), 0, 0, picture.surface(), 0, 0, raster.width, raster.height);
    return picture;
}

LoadedPicture read_open(const OpenFile &open, const ReadRequest &request) {
    return naming(open.path, [&] {
        LoadedPicture loaded;
        loaded.file = open.path;
        loaded.format = open.format;
        const uint8_t *data = open.file->data();
        size_t size = open.file->size();
        if (std::optional<codecs::Format> codec = image_codec(open.format)) {
            loaded.picture = decode(*codec, data, size);
            return loaded;
        }
        loaded.picture = Picture(request.width, request.height);
        switch (open.format) {
        case Format::ThreeNumberDump: parse_three_number_dump(data, size, &loaded.picture); break;
        case Format::OneNumberDump: parse_one_number_dump(data, size, &loaded.picture); break;
        case Format::DeviceDump: read_device_dump(data, size, &loaded.picture); break;
        default: read_raw_capture(data, size, &loaded.picture); break;
        }
        return loaded;
    });
}

// Numbers an element when both files are whole dumps of one format and size, else 0.
int dump_pair_numbers(const OpenFile &a, const OpenFile &b, const ReadRequest &request) {
    if (a.format != b.format || (a.format != Format::ThreeNumberDump && a.format != Format::OneNumberDump)) return 0;
    int numbers = a.format == Format::ThreeNumberDump ? 3 : 1;
    size_t length = size_t(request.width) * size_t(request.height) * size_t(3 * numbers + 1);
    return a.file->size() == length && b.file->size() == length ? numbers : 0;
}

}  // namespace

LoadedPicture read_picture(const std::string &path, const ReadRequest &request) {
    return read_open(open_file(path, request), request);
}

void read_both(const std::string &path_a, const std::string &path_b, const ReadRequest &request, LoadedPicture *a,
               LoadedPicture *b) {
    OpenFile open_a, open_b;
    run_both([&] { open_a = open_file(path_a, request); }, [&] { open_b = open_file(path_b, request); });
    int numbers = dump_pair_numbers(open_a, open_b, request);
    if (numbers == 0) {
        run_both([&] { *a = read_open(open_a, request); }, [&] { *b = read_open(open_b, request); });
        return;
    }
    auto prepare = [&](LoadedPicture *loaded, const OpenFile &open) {
        loaded->file = open.path;
        loaded->format = open.format;
        loaded->picture = Picture(request.width, request.height);
    };
    prepare(a, open_a);
    prepare(b, open_b);
    PairFaults faults = parse_dump_pair(open_a.file->data(), open_b.file->data(), numbers, a->picture.pixels(),
                                        a->picture.bgr.data(), b->picture.bgr.data());
    if (faults.a) {
        faults.a->file = path_a;
        throw *faults.a;
    }
    if (faults.b) {
        faults.b->file = path_b;
        throw *faults.b;
    }
}

}  // namespace inspect
