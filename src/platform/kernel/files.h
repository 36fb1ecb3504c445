// Files opened with CreateFileA, for the other kernel pieces that work on them.
#pragma once
#include <windows.h>

namespace kernel {

struct OpenFile {
    int fd = -1;
    DWORD access = 0;  // GENERIC_READ and/or GENERIC_WRITE
    ~OpenFile();
};

// The file behind a handle, or null (last error ERROR_INVALID_HANDLE).
OpenFile *find_file(HANDLE handle);
bool close_file(HANDLE handle);

}  // namespace kernel
