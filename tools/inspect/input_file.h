// An input file read with pread into the caller's buffers: a file cut short while it is read is
// refused, never a crash, and only the bytes asked for are read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace inspect {

class InputFile {
public:
    // Opens without waiting (a FIFO is refused, not waited for), takes only a regular file, and
    // waits up to two seconds while another process holds it exclusively (the bench writing it).
    // Throws Refusal naming the file.
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    const std::string &path() const { return path_; }
    uint64_t size() const { return size_; }  // when opened

    // Exactly `bytes` bytes from `offset` on, within size(). Throws Refusal when the file ends sooner.
    void read(uint64_t offset, void *buffer, size_t bytes) const;
    // The first `bytes` bytes, or all of a shorter file.
    std::vector<uint8_t> head(size_t bytes) const;
    // The whole file; throws OutOfMemory when it does not fit.
    std::vector<uint8_t> whole() const;

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

}  // namespace inspect
