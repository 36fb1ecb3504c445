#include "display/input_queue.h"

#include <deque>

#include "display/screen.h"

namespace display {
namespace {

struct Queue {
    std::deque<InputEvent> events;
    std::unique_ptr<InputSource> host;
};

Queue &queue() {
    static Queue instance;
    return instance;
}

bool push_more() {
    InputSource *host = queue().host.get();
    return (host && host->push_next()) || backend().push_next();
}

}  // namespace

void push_input(const InputEvent &event) { queue().events.push_back(event); }

void set_host_input(std::unique_ptr<InputSource> source) { queue().host = std::move(source); }

bool next_input(InputEvent *event) {
    auto &events = queue().events;
    while (events.empty())
        if (!push_more()) return false;
    *event = events.front();
    events.pop_front();
    return true;
}

}  // namespace display
