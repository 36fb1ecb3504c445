#include "host/script_input.h"

#include <memory>
#include <utility>

#include "display/input_queue.h"
#include "display/screen.h"

namespace host {
namespace {

class ScriptInput : public display::InputSource {
public:
    explicit ScriptInput(std::vector<UINT> keys) : keys_(std::move(keys)) {}

    bool push_next() override {
        if (next_ < keys_.size()) {
            display::push_input(display::key_input(keys_[next_++], false));
            return true;
        }
        return close_when_no_user();
    }

private:
    // The end of the script ends a run that no user can go on with.
    bool close_when_no_user() {
        if (closed_ || display::backend().has_user()) return false;
        closed_ = true;
        display::InputEvent close;
        close.type = display::InputEvent::Type::Close;
        display::push_input(close);
        return true;
    }

    std::vector<UINT> keys_;
    size_t next_ = 0;
    bool closed_ = false;
};

}  // namespace

void play_key_script(const std::vector<UINT> &keys) {
    display::set_host_input(std::make_unique<ScriptInput>(keys));
}

}  // namespace host
