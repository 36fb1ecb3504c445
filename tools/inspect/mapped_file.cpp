#include "mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "refusal.h"

namespace inspect {

MappedFile::MappedFile(const std::string &path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Refusal{std::string("a readable file (") + std::strerror(errno) + ")", -1, path};
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw Refusal{"a regular file", -1, path};
    }
    size_ = size_t(info.st_size);
    if (size_ > 0) {
        void *view = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (view == MAP_FAILED) {
            close(fd);
            throw Refusal{std::string("a file that can be mapped (") + std::strerror(errno) + ")", -1, path};
        }
        data_ = static_cast<const uint8_t *>(view);
    }
    close(fd);
}

MappedFile::~MappedFile() {
    if (data_) munmap(const_cast<uint8_t *>(data_), size_);
}

}  // namespace inspect
