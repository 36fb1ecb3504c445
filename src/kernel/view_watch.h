// Mapped views of files, watched for the file shrinking under them.
//
// On the platform nobody can shrink a file that has a mapped view; here another process can, and
// touching a page past the new end of the file raises SIGBUS. One process-wide handler turns such
// a fault inside a watched view into zero pages (anonymous memory mapped over the lost range), so
// the process goes on, and marks the view damaged. Faults anywhere else go to the handler that was
// there before (the default one, or a sanitizer's).
//
// Views are watched and unwatched on the program's one thread; the handler only reads the list.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kernel {

struct ViewWatch;

// Starts watching [base, base + length), mapped from the file with the given identity.
// Null when the memory for the record cannot be had.
ViewWatch *watch_view(void *base, size_t length, uint64_t device, uint64_t inode);
void unwatch_view(ViewWatch *watch);

// Whether a fault in the view found its file shrunk and the lost pages were replaced by zeros.
bool view_damaged(const ViewWatch *watch);

// Whether any watched view maps the file with this identity.
bool file_has_view(uint64_t device, uint64_t inode);

}  // namespace kernel
