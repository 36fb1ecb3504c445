#include "input_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "refusal.h"

namespace inspect {
namespace {

// How long a file another process holds exclusively is waited for, and how often it is tried.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockRetry = std::chrono::milliseconds(20);

// The bench holds a file it writes with an exclusive flock (CreateFileA with share mode 0); a
// shared lock is had once it lets go, and kept while the file is read.
bool lock_shared(int fd) {
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return true;  // a file system without locks
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kLockRetry);
    }
    return true;
}

}  // namespace

InputFile::InputFile(const std::string &path) : path_(path) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) throw expected(std::string("a readable file (") + std::strerror(errno) + ")", -1);
    struct stat info;
    if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd_);
        throw expected("a regular file", -1);
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    if (!lock_shared(fd_)) {
        close(fd_);
        throw Refusal("being written by another process", -1);
    }
    fstat(fd_, &info);  // the length its writer left
    size_ = uint64_t(info.st_size);
}

InputFile::~InputFile() { close(fd_); }

void InputFile::read(uint64_t offset, void *buffer, size_t bytes) const {
    auto *out = static_cast<uint8_t *>(buffer);
    for (size_t done = 0; done < bytes;) {
        ssize_t n = pread(fd_, out + done, bytes - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Refusal(std::string("cannot be read (") + std::strerror(errno) + ")", int64_t(offset + done));
        if (n == 0)
            throw Refusal("cut short while it was read (" + std::to_string(size_) + " bytes when opened)",
                          int64_t(offset + done));
        done += size_t(n);
    }
}

std::vector<uint8_t> InputFile::head(size_t bytes) const {
    std::vector<uint8_t> data(size_ < bytes ? size_t(size_) : bytes);
    read(0, data.data(), data.size());
    return data;
}

std::vector<uint8_t> InputFile::whole() const {
    std::vector<uint8_t> data;
    try {
        data.resize(size_t(size_));
    } catch (const std::bad_alloc &) {
        throw OutOfMemory("reading " + path_ + " (" + std::to_string(size_) + " bytes)");
    }
    read(0, data.data(), data.size());
    return data;
}

}  // namespace inspect
