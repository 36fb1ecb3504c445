#include "codecs/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sys/temporary_files.h"

namespace codecs {
namespace {

// Keeps the system's reason for the first write that failed.
class FileSink final : public ByteSink {
public:
    explicit FileSink(FILE *file) : file_(file) {}

    bool write(const void *bytes, size_t count) override {
        if (std::fwrite(bytes, 1, count, file_) == count) return true;
        if (error_.empty()) error_ = std::strerror(errno);
        return false;
    }
    const std::string &error() const { return error_; }

private:
    FILE *file_;
    std::string error_;
};

// A new file beside path that no other run uses, opened for writing and remembered for removal
// by a signal; null (errno set) when none can be created.
FILE *create_temporary(const std::string &path, std::string *name) {
    int fd = sys::create_temporary_beside(path, name);
    if (fd < 0) return nullptr;
    FILE *file = fdopen(fd, "wb");
    if (!file) {
        int err = errno;
        close(fd);
        unlink(name->c_str());
        sys::forget_temporary(name->c_str());
        errno = err;
    }
    return file;
}

bool encode(FILE *file, const FormatRow &format, const gdi::Surface &image, std::string *error) {
    FileSink sink(file);
    Message message;
    Status status = format.encode(image, kDefaultQuality, &sink, &message);
    if (status == Status::Ok) return true;
    *error = !sink.error().empty()           ? sink.error()
             : status == Status::OutOfMemory ? std::string("out of memory")
                                             : std::string(message.text);
    return false;
}

// Writes the whole file and closes it; false, with the reason, when any of it failed.
bool write_and_close(FILE *file, const FormatRow &format, const gdi::Surface &image, std::string *error) {
    bool encoded = encode(file, format, image, error);
    if (encoded && std::fflush(file) != 0) *error = std::strerror(errno);
    bool closed = fclose(file) == 0;
    if (encoded && error->empty() && !closed) *error = std::strerror(errno);
    return encoded && error->empty();
}

// What a name that is no regular file is, for the refusal.
const char *kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "a device";
}

}  // namespace

std::string output_refusal(const std::string &path) {
    if (path.empty()) return "no file name";
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return "";
    if (!S_ISREG(info.st_mode)) return std::string(kind_of(info.st_mode)) + ", not a regular file";
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "a read-only file";
    if (access(path.c_str(), W_OK) != 0) return std::strerror(errno);
    return "";
}

bool same_file(const std::string &a, const std::string &b) {
    if (a == b) return true;
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool write_file(const std::string &path, Format format, const gdi::Surface &image, std::string *error) {
    *error = output_refusal(path);
    if (!error->empty()) return false;
    std::string temporary;
    FILE *file = create_temporary(path, &temporary);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    bool written = write_and_close(file, format_row(format), image, error);
    // The name is looked at again: something else may have taken it while the file was encoded.
    if (written && !(*error = output_refusal(path)).empty()) written = false;
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = std::strerror(errno);
        written = false;
    }
    if (!written) unlink(temporary.c_str());
    sys::forget_temporary(temporary.c_str());
    return written;
}

}  // namespace codecs
