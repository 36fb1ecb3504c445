// The one road of input to the window system: the back-end and the host push input events into
// this queue, and the window system takes them, oldest first, to turn into messages. It asks the
// sources for more only when the queue is empty, which is when it has handled every message before:
// so each event is handled in full before the next, and the host's input comes before the
// back-end's. While the host's input has nothing ready but more may come, the back-end's is waited
// for until the host's has more.
#pragma once
#include <memory>

#include "display/input_event.h"

namespace display {

class InputSource {
public:
    virtual ~InputSource() = default;
    // Pushes the next input event, waiting for it if need be; false, pushing none, when it has
    // none to give.
    virtual bool push_next() = 0;
};

// The host's input (the key script), which never waits.
class HostInput {
public:
    enum class Pushed { Event, Later, None };
    virtual ~HostInput() = default;
    // Event: it pushed the next input event. Later: it has none ready, but more may come once
    // ready_fd() has something to read. None: it has none to give.
    virtual Pushed push_ready() = 0;
    virtual int ready_fd() const = 0;
};

// May throw std::bad_alloc.
void push_input(const InputEvent &event);
// push_input as the window module is handed it: the module links no queue of its own.
using InputSink = void (*)(const InputEvent &event);

// The host's input, asked before the back-end's; null for none.
void set_host_input(std::unique_ptr<HostInput> source);

// Takes the oldest event; when none waits, the host's input and then the back-end's are asked for
// more. False when neither gives any.
bool next_input(InputEvent *event);

}  // namespace display
