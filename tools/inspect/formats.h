// The kinds of file the tool reads, and how it tells them apart by content and length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "codecs/formats.h"

namespace inspect {

enum class Format { ThreeNumberDump, OneNumberDump, DeviceDump, RawCapture, Bmp, Jpeg, Png };

// What the tool says it recognised, e.g. "three-number dump (dump types 1, 8, 9)".
const char *format_description(Format format);
// The short name used by --format: dump3, dump1, device, raw, bmp, jpeg, png.
std::optional<Format> format_by_name(const std::string &name);
// The codec that reads an image file (BMP, JPEG, PNG); none for the bench's dumps and captures.
std::optional<codecs::Format> image_codec(Format format);

// Which format a file of `size` bytes is, by its first bytes (`head`, at least 4096 of them or the
// whole file), for a picture of width x height where the format has no size of its own. Throws
// Refusal (offset 0) when none fits.
Format sniff_format(const uint8_t *head, size_t head_size, uint64_t size, int width, int height);

}  // namespace inspect
