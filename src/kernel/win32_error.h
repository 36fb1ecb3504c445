// Turning C library failures into the platform's error codes.
#pragma once
#include <windows.h>

namespace kernel {

// The error code for errno value err when opening or changing path (2 file, 3 path, 5 access, ...).
DWORD error_from_errno(int err, const char *path = nullptr);

// Sets the last error from errno and returns false, for one-line failure exits.
bool fail_with_errno(const char *path = nullptr);

}  // namespace kernel
