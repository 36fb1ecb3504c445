#include <windows.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "kernel/crt_calls.h"
#include "kernel/files.h"
#include "kernel/replacing_stream.h"

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

// Opens the file itself: "r", "a", "w+", "wx", and "w" on a name that is no regular file.
FILE *open_in_place(const char *name, const char *mode, int flags, bool existed) {
    struct stat info;
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

// "w" alone on a regular file or a new name writes beside it (kernel/replacing_stream.h).
bool replaces(const char *mode, const struct stat *info, bool existed) {
    bool plain_write = mode[0] == 'w' && !std::strchr(mode, '+') && !std::strchr(mode, 'x');
    return plain_write && (!existed || (S_ISREG(info->st_mode) && !kernel::read_only(*info)));
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
    bool existed = lstat(name, &info) == 0;
    if (replaces(mode, &info, existed))
        if (FILE *file = kernel::open_replacing(name, mode, existed ? &info : nullptr)) return file;
    return open_in_place(name, mode, flags, existed);
}
