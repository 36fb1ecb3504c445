#include <windows.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "kernel/crt_calls.h"
#include "kernel/files.h"

namespace {

// open(2) flags for an fopen mode ("r", "w" or "a", then any of "+", "b", "t", "x"); "w" truncates
// only once the file is known to be writable. False for a malformed mode.
bool mode_flags(const char *mode, int *flags) {
    bool update = std::strchr(mode, '+'), exclusive = std::strchr(mode, 'x');
    int writing = update ? O_RDWR : O_WRONLY;
    switch (mode[0]) {
    case 'r': *flags = update ? O_RDWR : O_RDONLY; return true;
    case 'w': *flags = writing | O_CREAT | (exclusive ? O_EXCL : 0); return true;
    case 'a': *flags = writing | O_CREAT | O_APPEND; return true;
    default: return false;
    }
}

}  // namespace

FILE *crt_fopen(const char *name, const char *mode) {
    int flags = 0;
    if (!name || !mode || !mode_flags(mode, &flags)) {
        if (name) kernel::trace_failed_open(name, mode ? "the mode is not r, w or a" : "no mode");
        errno = EINVAL;
        return nullptr;
    }
    struct stat info;
    bool existed = stat(name, &info) == 0;
    int fd = kernel::open_regular(name, flags, existed, &info);
    if (fd < 0) return nullptr;
    FILE *file = nullptr;
    if (mode[0] != 'w' || ftruncate(fd, 0) == 0) file = fdopen(fd, mode);
    if (!file) {
        kernel::trace_failed_open(name, std::strerror(errno));
        int err = errno;
        close(fd);
        errno = err;
    }
    return file;
}
