// A whole file mapped read-only, so that parsing reads the page cache without a copy.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace inspect {

class MappedFile {
public:
    // Throws Refusal when the file cannot be opened, is not a regular file or cannot be mapped.
    explicit MappedFile(const std::string &path);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    const uint8_t *data() const { return data_; }
    size_t size() const { return size_; }

private:
    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace inspect
