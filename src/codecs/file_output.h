// Image files written whole or not at all: the encoder writes a temporary file beside the target,
// which replaces the target only once complete, so that a failure leaves the previous file as it
// was and no temporary behind.
#pragma once
#include <string>

#include "codecs/formats.h"
#include "engine/surface.h"

namespace codecs {

// Why no output may be written at path, or empty when one may: only a new name or a regular file
// the user may write is replaced. An empty name, a FIFO, device, socket, folder or link, and a
// file without any write permission (read-only, which even an administrator keeps) are refused.
std::string output_refusal(const std::string &path);

// Whether both names are one file (the same name, or the same device and inode), for callers that
// must not write over one of their inputs.
bool same_file(const std::string &a, const std::string &b);

// False, with the reason (the refusal above, the system's for a failed write, else the codec's),
// when the file cannot be written; nothing on disk changes then.
bool write_file(const std::string &path, Format format, const gdi::Surface &image, std::string *error);

}  // namespace codecs
