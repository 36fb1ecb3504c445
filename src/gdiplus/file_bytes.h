// An image file named by a wide string, mapped for reading: memory follows the pages a decoder
// touches, not the size the file claims.
#pragma once
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>

#include "kernel/file_mapping.h"

namespace gdiplus {

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    // GenericError when the file cannot be opened (missing, no regular file, no permission),
    // OutOfMemory when it cannot be mapped.
    Gdiplus::Status open(const WCHAR *name);

    const uint8_t *data() const { return view_.data; }
    size_t size() const { return view_.length; }

    // False when another process shrank the file while it was read: the lost pages read as zeros.
    bool intact() const { return !kernel::view_damaged(view_.watch); }

private:
    kernel::MappedView view_;
};

}  // namespace gdiplus
