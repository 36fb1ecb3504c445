// File mappings: CreateFileMappingA objects and the views of them that DIB sections live in.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kernel {

// A shared view of a mapping. It keeps the file's pages (and its lock) after the file and
// mapping handles are closed, until it is unmapped.
struct MappedView {
    void *base = nullptr;  // page-aligned start of the mapping call
    size_t length = 0;
    uint8_t *data = nullptr;  // the byte at the requested offset
    uint64_t device = 0;      // the mapped file's identity
    uint64_t inode = 0;
};

// Maps bytes of a writable mapping at offset (a multiple of 4). False, with the last error set,
// when the handle is not a writable mapping or the range does not lie inside it.
bool map_view(HANDLE mapping, uint64_t offset, size_t bytes, MappedView *view);
void unmap_view(const MappedView &view);

bool close_mapping(HANDLE handle);

// Whether the file (by its identity) has a view mapped. Such a file must not be truncated: its
// pages would vanish under the view, as the platform refuses with ERROR_USER_MAPPED_FILE.
bool has_live_view(uint64_t device, uint64_t inode);

}  // namespace kernel
