// A full disk, as far as the processes of a test can tell: files cannot grow past a limit, and a
// write beyond it fails (EFBIG) instead of raising SIGXFSZ. The limit and the ignored signal are
// inherited by the processes started meanwhile.
#pragma once
#include <signal.h>
#include <sys/resource.h>

namespace benchtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previous_signal_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = {bytes, previous_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        signal(SIGXFSZ, previous_signal_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit previous_;
    sighandler_t previous_signal_;
};

}  // namespace benchtest
