// The backend without a display: the window lives in memory only. Its input is the key script;
// when that is used up, it closes the window as the close box would.
#pragma once
#include <deque>
#include <vector>

#include "display/backend.h"

namespace display {

// Shows a message box's caption and text on standard error and answers OK.
int answer_on_stderr(const char *text, const char *caption);

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(const std::vector<UINT> &keys) : keys_(keys.begin(), keys.end()) {}

    void open(const char *, int, int) override { open_ = true; }
    void close() override { open_ = false; }
    void present(const gdi::Surface &) override {}
    InputEvent next_event() override;
    int message_box(const char *text, const char *caption, UINT) override { return answer_on_stderr(text, caption); }

private:
    std::deque<UINT> keys_;
    bool open_ = false;
};

}  // namespace display
