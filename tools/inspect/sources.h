// Pictures read from their files a band of pixels at a time: the bench's dumps and raw captures
// streamed from the file, so that no picture-sized memory is needed; BMP, JPEG and PNG decoded
// whole when opened.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats.h"
#include "input_file.h"
#include "picture.h"
#include "refusal.h"

namespace inspect {

// Pixels a band holds at most: its file's bytes and its pixels stay in the processor's caches,
// and filling them the first time costs a few hundred page faults.
constexpr size_t kBandPixels = size_t(1) << 16;

struct ReadRequest {
    int width = 1280;  // the size of dumps and raw captures, which do not carry one
    int height = 1024;
    std::optional<Format> format;  // forced by --format; recognised from the content when empty
};

// What a file was recognised as.
struct FileInfo {
    std::string file;
    Format format = Format::RawCapture;
    int width = 0;
    int height = 0;
    uint64_t pixels() const { return uint64_t(width) * uint64_t(height); }
};

class PictureSource {
public:
    explicit PictureSource(FileInfo file_info) : info(std::move(file_info)) {}
    virtual ~PictureSource() = default;

    // Pixels [first, first + count) (at most kBandPixels) as blue, green, red bytes, valid until
    // the next call. Bands are asked for in reading order. Throws Refusal naming no file.
    virtual const uint8_t *band(uint64_t first, size_t count) = 0;

    const FileInfo info;
};

// A file of a fixed number of bytes a pixel or row, read a band at a time.
class StreamedSource : public PictureSource {
public:
    StreamedSource(std::unique_ptr<InputFile> file, FileInfo file_info)
        : PictureSource(std::move(file_info)), file_(std::move(file)) {}

protected:
    // `bytes` bytes of the file from `offset` on, valid until the next call.
    const uint8_t *read(uint64_t offset, size_t bytes);
    // Room for `count` pixels, valid until the next call.
    uint8_t *pixels(size_t count);

private:
    std::unique_ptr<InputFile> file_;
    std::vector<uint8_t> bytes_, pixels_;
};

// A three-number or one-number dump, whose bytes a pair of dumps compares before parsing.
class DumpSource : public StreamedSource {
public:
    DumpSource(std::unique_ptr<InputFile> file, FileInfo info);
    const uint8_t *band(uint64_t first, size_t count) override;

    int numbers() const { return numbers_; }
    // The file's bytes of pixels [first, first + count), and room for as many pixels, until the next call.
    const uint8_t *bytes(uint64_t first, size_t count) { return read(first * element_, count * element_); }
    uint8_t *pixel_room(size_t count) { return pixels(count); }

private:
    int numbers_;
    uint64_t element_;  // bytes a pixel
};

// Opens the file, recognises it and checks its length against the request's size (before
// anything picture-sized is allocated). Throws Refusal naming the file, or OutOfMemory.
std::unique_ptr<PictureSource> open_source(const std::string &path, const ReadRequest &request);

// Calls f(first, count) for the bands of `pixels` pixels in reading order.
template <typename F>
void for_each_band(uint64_t pixels, F f) {
    for (uint64_t first = 0; first < pixels; first += kBandPixels)
        f(first, size_t(pixels - first < kBandPixels ? pixels - first : kBandPixels));
}

// Every band of the source in turn: a refusal of any, or nothing.
void read_through(PictureSource &source);

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

// Calls f, counting the offset of any refusal from `base`.
template <typename F>
void at_offset(uint64_t base, F f) {
    try {
        f();
    } catch (Refusal &refusal) {
        if (refusal.offset >= 0) refusal.offset += int64_t(base);
        throw;
    }
}

}  // namespace inspect
