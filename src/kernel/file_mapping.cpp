#include "kernel/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/faults.h"
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "kernel/files.h"
#include "kernel/win32_error.h"

namespace kernel {
namespace {

// A mapping keeps its own descriptor of the file, so it outlives the file handle as on the platform.
struct Mapping {
    int fd = -1;
    uint64_t size = 0;
    bool writable = false;
    ~Mapping() {
        if (fd >= 0) close(fd);
    }
};

layer::HandleTable<Mapping> &mappings() {
    static layer::HandleTable<Mapping> table(layer::Kind::Mapping);
    return table;
}

HANDLE fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

HANDLE fail_from_errno() {
    fail_with_errno();
    return nullptr;
}

// Writes zeros from offset to end in calls of up to 64 MB, each naming one small buffer many times.
// Zeros written, rather than blocks reserved, put the pages in the page cache whole and in large
// pieces, so that the view of them is written without a page fault per page. 0 or an errno value.
int write_zeros(int fd, uint64_t offset, uint64_t end) {
    static const char zeros[64 * 1024] = {};
    iovec pieces[1024];
    while (offset < end) {
        int count = 0;
        for (uint64_t at = offset; at < end && count < 1024; at += sizeof zeros)
            pieces[count++] = {const_cast<char *>(zeros), size_t(std::min<uint64_t>(sizeof zeros, end - at))};
        ssize_t written = pwritev(fd, pieces, count, off_t(offset));
        if (written < 0 && errno != EINTR) return errno;
        if (written == 0) return ENOSPC;
        if (written > 0) offset += uint64_t(written);
    }
    return 0;
}

// Makes the file at least size bytes long, the new bytes zero. A file that cannot grow (a full
// disk) is left at its length, and the reason goes to standard error: the capture it was to hold
// is not written.
bool grow(const OpenFile &file, uint64_t current, uint64_t size) {
    if (size <= current) return true;
    int err = write_zeros(file.fd, current, size);
    if (err == 0) return true;
    [[maybe_unused]] int restored = ftruncate(file.fd, off_t(current));  // in case it failed part of the way
    std::fprintf(stderr, "gdibench: cannot write %s: %s\n", file.path.c_str(), std::strerror(err));
    SetLastError(error_from_errno(err));
    return false;
}

}  // namespace

bool map_view(HANDLE handle, uint64_t offset, size_t bytes, bool writable, MappedView *view) {
    Mapping *mapping = mappings().get(handle);
    if (!mapping) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (writable && !mapping->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (offset % 4 != 0 || offset > mapping->size || bytes > mapping->size - offset) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    uint64_t page = uint64_t(sysconf(_SC_PAGESIZE));
    uint64_t start = offset / page * page;
    size_t length = size_t(offset - start) + bytes;
    if (!map_file_range(mapping->fd, start, length, writable, view)) return false;
    view->data += offset - start;
    return true;
}

bool map_file_range(int fd, uint64_t start, size_t length, bool writable, MappedView *view) {
    struct stat info;
    if (fstat(fd, &info) != 0) return fail_with_errno();
    void *base = mmap(nullptr, length, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd, off_t(start));
    if (base == MAP_FAILED) return fail_with_errno();
    ViewWatch *watch = watch_view(base, length, uint64_t(info.st_dev), uint64_t(info.st_ino));
    if (!watch) {
        munmap(base, length);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    *view = MappedView{base, length, static_cast<uint8_t *>(base), watch};
    return true;
}

namespace {

// ERROR_FILE_INVALID is the platform's word for a file "externally altered so that the opened
// file is no longer valid", which is what a truncation by another process is.
bool report_damage(const ViewWatch *watch) {
    if (!view_damaged(watch)) return true;
    SetLastError(ERROR_FILE_INVALID);
    return false;
}

}  // namespace

bool flush_view(const MappedView &view) {
    if (msync(view.base, view.length, MS_SYNC) != 0) return fail_with_errno();
    return report_damage(view.watch);
}

bool unmap_view(const MappedView &view) {
    if (!view.base) return true;
    bool intact = report_damage(view.watch);
    unwatch_view(view.watch);
    munmap(view.base, view.length);
    return intact;
}

bool close_mapping(HANDLE handle) { return mappings().remove(handle) != nullptr; }

bool mapping_size(HANDLE handle, uint64_t *size) {
    Mapping *mapping = mappings().get(handle);
    if (!mapping) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    *size = mapping->size;
    return true;
}

}  // namespace kernel

// Named mappings are not shared between processes here: the name is ignored.
extern "C" HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh,
                                            DWORD sizeLow, LPCSTR) try {
    using kernel::fail;
    if (protect != PAGE_READONLY && protect != PAGE_READWRITE) return fail(ERROR_INVALID_PARAMETER);
    kernel::OpenFile *open = kernel::find_file(file);
    if (!open) return nullptr;
    bool writable = protect == PAGE_READWRITE;
    if (!(open->access & GENERIC_READ) || (writable && !(open->access & GENERIC_WRITE)))
        return fail(ERROR_ACCESS_DENIED);
    if (layer::injected_fault("CreateFileMappingA")) return fail(ERROR_NOT_ENOUGH_MEMORY);
    struct stat info;
    if (fstat(open->fd, &info) != 0) return kernel::fail_from_errno();
    uint64_t current = uint64_t(info.st_size);
    uint64_t size = uint64_t(sizeHigh) << 32 | sizeLow;
    if (size == 0) size = current;
    if (size == 0) return fail(ERROR_FILE_INVALID);  // an empty file cannot be mapped
    if (size > current && !writable) return fail(ERROR_ACCESS_DENIED);
    // The descriptor and the handle are had before the file grows, so that a failure leaves it as it was.
    auto created = std::make_unique<kernel::Mapping>();
    created->fd = fcntl(open->fd, F_DUPFD_CLOEXEC, 0);
    if (created->fd < 0) return kernel::fail_from_errno();
    created->size = size;
    created->writable = writable;
    HANDLE handle = kernel::mappings().add(std::move(created));
    if (!handle) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (!kernel::grow(*open, current, size)) {
        kernel::mappings().remove(handle);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return handle;
} OUT_OF_MEMORY_RETURNS(nullptr)
