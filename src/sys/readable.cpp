#include "sys/readable.h"

#include <poll.h>

#include <cerrno>

namespace sys {

bool wait_readable(int fd, int milliseconds) {
    pollfd watched = {fd, POLLIN, 0};
    int ready;
    do ready = poll(&watched, 1, milliseconds);
    while (ready < 0 && errno == EINTR);
    // A failed poll says so too: the read that follows reports the error.
    return ready != 0;
}

}  // namespace sys
