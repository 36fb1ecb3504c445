// Waiting for a descriptor to have something to read.
#pragma once

namespace sys {

// True once a read of fd would not wait: it has bytes, its end (a writer gone) or an error to
// give. False when `milliseconds` pass first; a negative time waits as long as it takes.
bool wait_readable(int fd, int milliseconds);

}  // namespace sys
