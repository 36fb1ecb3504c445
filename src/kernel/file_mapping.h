// File mappings: CreateFileMappingA objects and the views of them that DIB sections live in.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kernel/view_watch.h"

namespace kernel {

// A shared view of a mapping. It keeps the file's pages (and its lock) after the file and
// mapping handles are closed, until it is unmapped.
struct MappedView {
    void *base = nullptr;  // page-aligned start of the mapping call
    size_t length = 0;
    uint8_t *data = nullptr;  // the byte at the requested offset
    ViewWatch *watch = nullptr;
};

// Maps bytes of a mapping at offset (a multiple of 4), for writing or only for reading. False,
// with the last error set, when the handle is not a mapping that allows it or the range does not
// lie inside it.
bool map_view(HANDLE mapping, uint64_t offset, size_t bytes, bool writable, MappedView *view);

// Maps length bytes of the open file fd from offset start (a multiple of the page size) and
// watches them. False, with the last error set, when the memory cannot be had.
bool map_file_range(int fd, uint64_t start, size_t length, bool writable, MappedView *view);

// Writes the view's pages to the file, or unmaps the view. Both fail with ERROR_FILE_INVALID
// once the file shrank under the view (another process truncated it): what was written to the
// lost pages never reached the file. The view is unmapped all the same.
bool flush_view(const MappedView &view);
bool unmap_view(const MappedView &view);

bool close_mapping(HANDLE handle);

// The size of the mapping behind handle; false (ERROR_INVALID_HANDLE) when it is none.
bool mapping_size(HANDLE handle, uint64_t *size);

}  // namespace kernel
