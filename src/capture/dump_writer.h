// Buffered writer for the dump files: few large fwrite calls instead of one per element.
#pragma once
#include <stdio.h>
#include <string.h>

class DumpWriter {
public:
    explicit DumpWriter(FILE *file) : file_(file), used_(0) {}
    ~DumpWriter() { Flush(); }

    // Room for one more element of up to 16 bytes; flushes when the buffer is nearly full.
    char *Reserve(size_t bytes) {
        if (used_ + bytes > sizeof(buffer_)) Flush();
        return buffer_ + used_;
    }
    void Commit(size_t bytes) { used_ += bytes; }
    void Flush() {
        if (used_) fwrite(buffer_, 1, used_, file_);
        used_ = 0;
    }

private:
    FILE *file_;
    size_t used_;
    char buffer_[1 << 16];
};
