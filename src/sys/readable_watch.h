// A thread that wakes a wait for something else once a descriptor has something to read. Inline,
// as sys/readable.h is.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <thread>
#include <utility>

#include "sys/readable.h"

namespace sys {

// Calls `readable` once fd has something to read, from a thread of its own, unless the watch has
// ended first; so a wait for something else can be woken by it.
class ReadableWatch {
public:
    ReadableWatch(int fd, std::function<void()> readable) {
        if (pipe2(stop_, O_CLOEXEC) != 0) return;
        // The thread starts with every signal blocked, so that they are all handled where they were before.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        try {
            thread_ = std::thread([fd, stop = stop_[0], readable = std::move(readable)] {
                pollfd watched[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
                poll_again(watched, 2, -1);
                if (watched[1].revents == 0) readable();
            });
        } catch (...) {
            // No thread or no memory for one: nothing is watched, as watching() tells.
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    ~ReadableWatch() {
        if (thread_.joinable()) {
            char stop = 0;
            while (write(stop_[1], &stop, 1) < 0 && errno == EINTR) continue;
            thread_.join();
        }
        for (int end : stop_)
            if (end >= 0) close(end);
    }
    ReadableWatch(const ReadableWatch &) = delete;
    ReadableWatch &operator=(const ReadableWatch &) = delete;

    // False when no thread could be started (no descriptors or threads left): nothing is called.
    bool watching() const { return thread_.joinable(); }

private:
    int stop_[2] = {-1, -1};  // a pipe whose writing ends the watch
    std::thread thread_;
};

}  // namespace sys
