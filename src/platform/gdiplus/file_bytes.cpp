#include "gdiplus/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

namespace gdiplus {
namespace {

// Files above 1 GB are refused: no image within the pixel cap needs that many bytes.
constexpr off_t kMaxFileBytes = off_t(1) << 30;

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

Gdiplus::Status read_all(int fd, std::vector<uint8_t> *bytes) {
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Gdiplus::GenericError;
    if (info.st_size > kMaxFileBytes) return Gdiplus::OutOfMemory;
    try {
        bytes->resize(size_t(info.st_size));
    } catch (const std::bad_alloc &) {
        return Gdiplus::OutOfMemory;
    }
    size_t done = 0;
    while (done < bytes->size()) {
        ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Gdiplus::GenericError;
        if (got == 0) break;
        done += size_t(got);
    }
    // A file that shrank while it was read yields what was there.
    bytes->resize(done);
    return Gdiplus::Ok;
}

// The name as the host's file system spells it (UTF-8).
std::string narrow_path(const WCHAR *name) {
    std::string path;
    for (; *name; ++name) append_utf8(uint32_t(*name), &path);
    return path;
}

}  // namespace

Gdiplus::Status read_file_bytes(const WCHAR *name, std::vector<uint8_t> *bytes) {
    int fd = open(narrow_path(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Gdiplus::GenericError;
    Gdiplus::Status status = read_all(fd, bytes);
    close(fd);
    return status;
}

}  // namespace gdiplus
