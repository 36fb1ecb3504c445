#include "display/headless_backend.h"

#include <cstdio>

namespace display {

InputEvent HeadlessBackend::next_event() {
    InputEvent event;
    if (!open_) return event;
    if (keys_.empty()) {
        event.type = InputEvent::Type::Close;
        open_ = false;  // the close is delivered once
        return event;
    }
    event.type = InputEvent::Type::Key;
    event.vk = keys_.front();
    keys_.pop_front();
    return event;
}

int answer_on_stderr(const char *text, const char *caption) {
    std::fprintf(stderr, "message box \"%s\": %s\n", caption, text);
    return IDOK;
}

}  // namespace display
