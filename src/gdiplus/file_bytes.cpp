#include "gdiplus/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "kernel/files.h"

namespace gdiplus {
namespace {

void append_utf8(uint32_t c, std::string *out) {
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | (c >> 18));
        *out += char(0x80 | ((c >> 12) & 0x3F));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

// The name as the host's file system spells it (UTF-8).
std::string narrow_path(const WCHAR *name) {
    std::string path;
    for (; *name; ++name) append_utf8(uint32_t(*name), &path);
    return path;
}

}  // namespace

FileBytes::~FileBytes() { kernel::unmap_view(view_); }

// An empty file has nothing to map and stays empty.
Gdiplus::Status FileBytes::open(const WCHAR *name) {
    std::string path = narrow_path(name);
    struct stat info;
    int fd = kernel::open_regular(path.c_str(), O_RDONLY, true, &info);
    if (fd < 0) return Gdiplus::GenericError;
    bool mapped = info.st_size == 0 || (uint64_t(info.st_size) <= SIZE_MAX &&
                                        kernel::map_file_range(fd, 0, size_t(info.st_size), false, &view_));
    close(fd);
    return mapped ? Gdiplus::Ok : Gdiplus::OutOfMemory;
}

}  // namespace gdiplus
