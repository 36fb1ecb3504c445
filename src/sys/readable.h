// Waiting for a descriptor to have something to read.
#pragma once
#include <functional>
#include <thread>

namespace sys {

// True once a read of fd would not wait: it has bytes, its end (a writer gone) or an error to
// give. False when `milliseconds` pass first; a negative time waits as long as it takes.
bool wait_readable(int fd, int milliseconds);

// Calls `readable` once fd has something to read, from a thread of its own, unless the watch has
// ended first; so a wait for something else can be woken by it. The thread takes no signals.
class ReadableWatch {
public:
    ReadableWatch(int fd, std::function<void()> readable);
    ~ReadableWatch();
    ReadableWatch(const ReadableWatch &) = delete;
    ReadableWatch &operator=(const ReadableWatch &) = delete;

    // False when no thread could be started (no descriptors or threads left): nothing is called.
    bool watching() const { return thread_.joinable(); }

private:
    int stop_[2] = {-1, -1};  // a pipe whose writing ends the watch
    std::thread thread_;
};

}  // namespace sys
