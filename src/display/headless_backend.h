// The backend without a display: the window lives in memory only and no input ever comes.
#pragma once
#include "display/backend.h"

namespace display {

class HeadlessBackend : public Backend {
public:
    void open(const char *, int, int) override {}
    void close() override {}
    void present(const gdi::Surface &) override {}
    bool has_user() const override { return false; }
    bool push_next() override { return false; }
    int message_box(const char *, const char *, UINT) override { return 0; }
};

}  // namespace display
