// Buffered writer for the dump files: few large writes instead of one per element.
#pragma once
#include <stdio.h>
#include <string.h>

class DumpWriter {
public:
    static const size_t kCapacity = 1 << 20;

    // The stream's own buffer is switched off: every write is a whole chunk of ours.
    explicit DumpWriter(FILE *file) : file_(file), used_(0), ok_(true) { setvbuf(file, NULL, _IONBF, 0); }

    // Room for `bytes` more bytes (at most kCapacity); flushes when the buffer is too full.
    char *Reserve(size_t bytes) {
        if (used_ + bytes > kCapacity) Flush();
        return buffer_ + used_;
    }
    void Commit(size_t bytes) { used_ += bytes; }
    // Writes what is still buffered; false when any write fell short (a full disk, say).
    bool Finish() {
        Flush();
        return ok_;
    }

private:
    void Flush() {
        if (used_ && fwrite(buffer_, 1, used_, file_) != used_) ok_ = false;
        used_ = 0;
    }

    FILE *file_;
    size_t used_;
    bool ok_;
    // One dump is written at a time (no dump shows a box or dispatches messages), so one
    // buffer serves them all.
    static char buffer_[kCapacity];
};
