#include "kernel/replacing_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "sys/temporary_files.h"

namespace kernel {
namespace {

struct Replacement {
    int fd = -1;
    std::string target, temporary;
    int failure = 0;  // errno of the first write that failed
};

// The bytes written; fewer than count when a write failed, which makes fwrite fall short, as it
// does on a file.
ssize_t write_bytes(void *cookie, const char *bytes, size_t count) {
    auto *replacement = static_cast<Replacement *>(cookie);
    size_t done = 0;
    while (done < count) {
        ssize_t n = write(replacement->fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (!replacement->failure) replacement->failure = n < 0 ? errno : ENOSPC;
            break;
        }
        done += size_t(n);
    }
    return ssize_t(done);
}

// Replaces the target once every byte reached the temporary file; otherwise removes it. A failed
// write was reported by fwrite already, so only a failure here fails fclose.
int close_and_replace(void *cookie) {
    std::unique_ptr<Replacement> replacement(static_cast<Replacement *>(cookie));
    const char *temporary = replacement->temporary.c_str();
    int result = 0;
    if (close(replacement->fd) != 0 ||
        (!replacement->failure && std::rename(temporary, replacement->target.c_str()) != 0)) {
        if (!replacement->failure) replacement->failure = errno;
        result = -1;
    }
    if (replacement->failure) {
        unlink(temporary);
        std::fprintf(stderr, "gdibench: cannot write %s: %s\n", replacement->target.c_str(),
                     std::strerror(replacement->failure));
    }
    sys::forget_temporary(temporary);
    return result;
}

}  // namespace

FILE *open_replacing(const char *name, const char *mode, const struct stat *previous) try {
    auto replacement = std::make_unique<Replacement>();
    replacement->target = name;
    replacement->fd = sys::create_temporary_beside(name, &replacement->temporary);
    if (replacement->fd < 0) return nullptr;
    // The new file keeps the permissions of the one it replaces, as a file written over would.
    if (previous) fchmod(replacement->fd, previous->st_mode & 07777);
    cookie_io_functions_t calls = {nullptr, write_bytes, nullptr, close_and_replace};
    FILE *file = fopencookie(replacement.get(), mode, calls);
    if (!file) {
        int err = errno;
        close(replacement->fd);
        unlink(replacement->temporary.c_str());
        sys::forget_temporary(replacement->temporary.c_str());
        errno = err;
        return nullptr;
    }
    replacement.release();
    return file;
} catch (const std::bad_alloc &) {
    errno = ENOMEM;
    return nullptr;
}

}  // namespace kernel
