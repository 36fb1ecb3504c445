// Files opened with CreateFileA, for the other kernel pieces that work on them.
#pragma once
#include <windows.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

namespace kernel {

struct OpenFile {
    int fd = -1;
    std::string path;  // as opened, for messages
    DWORD access = 0;  // GENERIC_READ and/or GENERIC_WRITE
    ~OpenFile();
};

// The file behind a handle, or null (last error ERROR_INVALID_HANDLE).
OpenFile *find_file(HANDLE handle);
bool close_file(HANDLE handle);

// The platform's read-only attribute, which stops even administrators: a file without any write
// permission bit. (Permission checks alone would let root write it.)
bool read_only(const struct stat &info);

// Flags for open(2) that keep it from blocking on a FIFO whose other end is absent, or from
// making a terminal the controlling one. Regular files ignore them.
constexpr int kNeverWait = O_NONBLOCK | O_NOCTTY;

// open(2) of a file as the platform has them: only a regular file, never waiting on a FIFO, and
// not for writing when it existed before and is read-only. A folder, FIFO, socket or device, or
// a read-only file opened for writing, gives -1 with errno EACCES; other failures their errno.
int open_regular(const char *path, int flags, bool existed, struct stat *info);

// With BENCH_TRACE set, "gdibench: cannot open PATH: REASON" on standard error; errno is kept.
void trace_failed_open(const char *path, const char *reason);

}  // namespace kernel
