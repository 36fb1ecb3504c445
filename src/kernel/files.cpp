// Files: CreateFileA and the calls on its handles, and the calls on file names.
//
// Sharing: every open takes a flock(2) lock for the handle's life, exclusive for share mode 0
// and shared otherwise, so that a handle opened with share mode 0 keeps every other open of the
// file out, from this process or any other. flock locks belong to the open file, not the
// process, so two opens in one process exclude each other just as two processes do.
#include "kernel/file_mapping.h"
#include "kernel/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/faults.h"
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "core/trace.h"
#include "kernel/win32_error.h"
#include "sys/signals.h"
#include "sys/temporary_files.h"

namespace kernel {
namespace {

layer::HandleTable<OpenFile> &files() {
    static layer::HandleTable<OpenFile> table(layer::Kind::File);
    return table;
}

std::string native_path(LPCSTR name) {
    std::string path(name);
    for (char &c : path)
        if (c == '\\') c = '/';
    return path;
}

int access_flags(DWORD access) {
    bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
    return read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
}

// O_CREAT and friends for a disposition; truncation waits until the lock is held.
bool disposition_flags(DWORD disposition, int *flags) {
    switch (disposition) {
    case CREATE_NEW: *flags = O_CREAT | O_EXCL; return true;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: *flags = O_CREAT; return true;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING: *flags = 0; return true;
    default: return false;
    }
}

bool exists(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A name that the rename may replace: a regular file that is not read-only, or a link (which is
// replaced itself, never what it points to). Anything else is refused with ERROR_ACCESS_DENIED,
// as the platform refuses a read-only file or a device.
bool replaceable(const struct stat &info) {
    return S_ISLNK(info.st_mode) || (S_ISREG(info.st_mode) && !read_only(info));
}

// True when some handle holds the file with sharing that forbids deleting or renaming it,
// which is every handle of ours: none is opened with FILE_SHARE_DELETE semantics.
bool held_open(const std::string &path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | kNeverWait);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return held;
}

// Why an opened file may not be used as asked, or null; fills info.
const char *unusable(int fd, bool writing, bool existed, struct stat *info) {
    if (fstat(fd, info) != 0) return std::strerror(errno);
    if (!S_ISREG(info->st_mode)) return "not a regular file";
    if (existed && writing && read_only(*info)) return "the file is read-only";
    return nullptr;
}

}  // namespace

bool read_only(const struct stat &info) { return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

int open_regular(const char *path, int flags, bool existed, struct stat *info) {
    int fd = open(path, flags | O_CLOEXEC | kNeverWait, 0666);
    if (fd < 0) {
        trace_failed_open(path, std::strerror(errno));
        if (errno == ENXIO || errno == EISDIR) errno = EACCES;  // a FIFO without a reader, a socket, a folder
        return -1;
    }
    bool writing = (flags & O_ACCMODE) != O_RDONLY;
    if (const char *refusal = unusable(fd, writing, existed, info)) {
        trace_failed_open(path, refusal);
        close(fd);
        errno = EACCES;
        return -1;
    }
    return fd;
}

void trace_failed_open(const char *path, const char *reason) {
    if (!layer::tracing()) return;
    int err = errno;
    std::fprintf(stderr, "gdibench: cannot open %s: %s\n", path, reason);
    errno = err;
}

OpenFile::~OpenFile() {
    if (fd >= 0) close(fd);
}

OpenFile *find_file(HANDLE handle) {
    OpenFile *file = files().get(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

bool close_file(HANDLE handle) { return files().remove(handle) != nullptr; }

}  // namespace kernel

using kernel::fail_with_errno;
using kernel::OpenFile;

namespace kernel {
namespace {

// The open file behind handle when it was opened with `right` and the buffer is usable; null,
// with the last error set, otherwise.
OpenFile *file_for_transfer(HANDLE handle, DWORD right, const void *buffer, DWORD bytes) {
    OpenFile *file = find_file(handle);
    if (file && (!(file->access & right) || (!buffer && bytes))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

// Opens the file for CreateFileA and takes its lock, then truncates it when the disposition says
// so. ERROR_SUCCESS, or the reason it failed.
DWORD open_file(OpenFile *file, const std::string &path, int create, DWORD disposition, DWORD share, bool existed,
                struct stat *info) {
    file->fd = open_regular(path.c_str(), access_flags(file->access) | create, existed, info);
    if (file->fd < 0) return error_from_errno(errno, path.c_str());
    if (flock(file->fd, (share ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        trace_failed_open(path.c_str(), "another handle holds it (sharing violation)");
        return ERROR_SHARING_VIOLATION;
    }
    bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (truncate && file_has_view(uint64_t(info->st_dev), uint64_t(info->st_ino))) {
        trace_failed_open(path.c_str(), "a view maps it, so it cannot be truncated");
        return ERROR_USER_MAPPED_FILE;
    }
    if (truncate && ftruncate(file->fd, 0) != 0) {
        trace_failed_open(path.c_str(), std::strerror(errno));
        return error_from_errno(errno, path.c_str());
    }
    return ERROR_SUCCESS;
}

// A name the process makes a temporary file under, which a signal ending it removes: "*.tmp".
bool temporary_name(const std::string &path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".tmp") == 0;
}

}  // namespace
}  // namespace kernel

extern "C" {

// FILE_FLAG_NO_BUFFERING and the attributes are accepted and have no effect here.
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                          HANDLE) try {
    int create = 0;
    if (!name || !kernel::disposition_flags(disposition, &create) ||
        (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = kernel::native_path(name);
    if (layer::injected_fault("CreateFileA")) {
        kernel::trace_failed_open(path.c_str(), "made to fail by BENCH_FAULTS");
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = kernel::exists(path);
    // The handle is had first, so that a failure to allocate it leaves nothing on disk.
    auto created = std::make_unique<OpenFile>();
    OpenFile *file = created.get();
    file->access = access;
    file->path = path;
    HANDLE handle = kernel::files().add(std::move(created));
    if (!handle) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    DWORD error;
    {
        sys::SignalsHeld held;  // a temporary file is remembered as soon as it exists
        error = kernel::open_file(file, path, create, disposition, share, existed, &info);
        if (error == ERROR_SUCCESS && !existed && kernel::temporary_name(path)) sys::remember_temporary(path.c_str());
    }
    if (error != ERROR_SUCCESS) {
        kernel::files().remove(handle);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    bool reopened = existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reopened ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
} OUT_OF_MEMORY_RETURNS(INVALID_HANDLE_VALUE)

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
    if (read) *read = 0;
    OpenFile *file = kernel::file_for_transfer(handle, GENERIC_READ, buffer, toRead);
    if (!file) return FALSE;
    DWORD done = 0;
    while (done < toRead) {
        ssize_t n = ::read(file->fd, static_cast<uint8_t *>(buffer) + done, toRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail_with_errno();
        if (n == 0) break;  // end of file: success with fewer bytes
        done += DWORD(n);
    }
    if (read) *read = done;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
    if (written) *written = 0;
    OpenFile *file = kernel::file_for_transfer(handle, GENERIC_WRITE, buffer, toWrite);
    if (!file) return FALSE;
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(file->fd, static_cast<const uint8_t *>(buffer) + done, toWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (written) *written = done;
            return fail_with_errno();
        }
        done += DWORD(n);
    }
    if (written) *written = done;
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD high) {
    OpenFile *file = kernel::find_file(handle);
    struct stat info;
    if (!file || fstat(file->fd, &info) != 0) {
        if (file) fail_with_errno();
        return 0xFFFFFFFF;
    }
    uint64_t size = uint64_t(info.st_size);
    if (high) *high = DWORD(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return DWORD(size);
}

BOOL WINAPI DeleteFileA(LPCSTR name) try {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = kernel::native_path(name);
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && kernel::read_only(info)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (kernel::held_open(path)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0) return fail_with_errno(path.c_str());
    sys::forget_temporary(path.c_str());
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) try {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string source = kernel::native_path(from), target = kernel::native_path(to);
    struct stat info;
    bool target_exists = lstat(target.c_str(), &info) == 0;
    if (target_exists && !(flags & MOVEFILE_REPLACE_EXISTING)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (target_exists && !kernel::replaceable(info)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (kernel::held_open(source) || (target_exists && kernel::held_open(target))) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (std::rename(source.c_str(), target.c_str()) != 0) return fail_with_errno(source.c_str());
    sys::forget_temporary(source.c_str());
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

}  // extern "C"
