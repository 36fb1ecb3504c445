#include "sys/readable.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace sys {
namespace {

// poll(), again when a signal cuts it short: how many descriptors are ready, or -1.
int poll_again(pollfd *watched, nfds_t count, int milliseconds) {
    int ready;
    do ready = poll(watched, count, milliseconds);
    while (ready < 0 && errno == EINTR);
    return ready;
}

// Blocks every signal in this thread for its life; a thread started meanwhile starts with them blocked.
class AllSignalsBlocked {
public:
    AllSignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous_);
    }
    ~AllSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

}  // namespace

bool wait_readable(int fd, int milliseconds) {
    pollfd watched = {fd, POLLIN, 0};
    // A failed poll counts as readable: the read that follows reports the error.
    return poll_again(&watched, 1, milliseconds) != 0;
}

ReadableWatch::ReadableWatch(int fd, std::function<void()> readable) {
    if (pipe2(stop_, O_CLOEXEC) != 0) return;
    // The thread starts with every signal blocked, so that they are all handled where they were before.
    AllSignalsBlocked blocked;
    try {
        thread_ = std::thread([fd, stop = stop_[0], readable = std::move(readable)] {
            pollfd watched[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
            poll_again(watched, 2, -1);
            if (watched[1].revents == 0) readable();
        });
    } catch (...) {
        // No thread or no memory for one: nothing is watched, as watching() tells.
    }
}

ReadableWatch::~ReadableWatch() {
    if (thread_.joinable()) {
        char stop = 0;
        while (write(stop_[1], &stop, 1) < 0 && errno == EINTR) continue;
        thread_.join();
    }
    for (int end : stop_)
        if (end >= 0) close(end);
}

}  // namespace sys
