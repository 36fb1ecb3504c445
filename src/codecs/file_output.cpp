#include "codecs/file_output.h"

#include <fcntl.h>
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

}  // namespace

bool write_file(const std::string &path, Format format, const gdi::Surface &image, std::string *error) {
    error->clear();
    std::string temporary;
    FILE *file = create_temporary(path, &temporary);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    bool written = write_and_close(file, format_row(format), image, error);
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = std::strerror(errno);
        written = false;
    }
    if (!written) unlink(temporary.c_str());
    sys::forget_temporary(temporary.c_str());
    return written;
}

}  // namespace codecs
