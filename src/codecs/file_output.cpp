#include "codecs/file_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace codecs {
namespace {

// Names already taken (a killed run's leftover with a reused process id) are skipped this often.
constexpr int kNameAttempts = 16;

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

// A new file beside path that no other run uses, opened for writing; null (errno set) when none
// can be created.
FILE *create_temporary(const std::string &path, std::string *name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = path + "." + std::to_string(getpid()) + "." + std::to_string(attempt) + ".tmp";
        int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fdopen(fd, "wb");
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
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
    return written;
}

}  // namespace codecs
