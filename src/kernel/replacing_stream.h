// fopen's "w" on a regular file or a new name, written so that a failure never costs the previous
// file: the bytes go to a temporary file beside it, which replaces it when the stream is closed.
#pragma once
#include <stdio.h>
#include <sys/stat.h>

namespace kernel {

// A write-only stream for name (mode as fopen's), whose previous file, if any, is described by
// info. When a write fails, closing the stream keeps the previous file and prints the file and the
// reason on standard error; the write's and the close's results are what the C library's would be.
// Null (errno set) when the temporary file cannot be created.
FILE *open_replacing(const char *name, const char *mode, const struct stat *previous);

}  // namespace kernel
