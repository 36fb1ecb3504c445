// Waiting for a descriptor to have something to read. All inline, so that code linking no part of
// the layer (a back-end built on its own) can use it too.
#pragma once
#include <poll.h>

#include <cerrno>

namespace sys {

// poll(), again when a signal cuts it short: how many descriptors are ready, or -1.
inline int poll_again(pollfd *watched, nfds_t count, int milliseconds) {
    int ready;
    do ready = poll(watched, count, milliseconds);
    while (ready < 0 && errno == EINTR);
    return ready;
}

// True once a read of fd would not wait: it has bytes, its end (a writer gone) or an error to
// give (a failed poll counts too: the read that follows reports it). False when `milliseconds`
// pass first; a negative time waits as long as it takes.
inline bool wait_readable(int fd, int milliseconds) {
    pollfd watched = {fd, POLLIN, 0};
    return poll_again(&watched, 1, milliseconds) != 0;
}

}  // namespace sys
