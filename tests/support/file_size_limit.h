// A full disk, as far as the processes of a test can tell: files cannot grow past a limit. The
// limit is inherited by the processes started meanwhile; a write beyond it fails (EFBIG) in a
// process that ignores SIGXFSZ, as the bench, the inspector and the test programs do, and ends any
// other.
#pragma once
#include <sys/resource.h>

namespace benchtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = {bytes, previous_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit previous_;
};

}  // namespace benchtest
