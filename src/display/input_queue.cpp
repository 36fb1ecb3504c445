#include "display/input_queue.h"

#include <deque>

#include "display/screen.h"

namespace display {
namespace {

struct Queue {
    std::deque<InputEvent> events;
    std::unique_ptr<HostInput> host;
};

Queue &queue() {
    static Queue instance;
    return instance;
}

bool push_more() {
    for (HostInput *host = queue().host.get(); host;) {
        HostInput::Pushed pushed = host->push_ready();
        if (pushed == HostInput::Pushed::Event) return true;
        if (pushed == HostInput::Pushed::None) break;
        if (backend().push_next_until_readable(host->ready_fd())) return true;
    }
    return backend().push_next();
}

}  // namespace

void push_input(const InputEvent &event) { queue().events.push_back(event); }

void set_host_input(std::unique_ptr<HostInput> source) { queue().host = std::move(source); }

bool next_input(InputEvent *event) {
    auto &events = queue().events;
    while (events.empty())
        if (!push_more()) return false;
    *event = events.front();
    events.pop_front();
    return true;
}

}  // namespace display
