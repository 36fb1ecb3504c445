#include "host/script_input.h"

#include <cstdio>
#include <utility>

#include "display/input_queue.h"
#include "display/screen.h"

namespace host {
namespace {

bool refused = false;

class ScriptInput : public display::HostInput {
public:
    ScriptInput(std::vector<UINT> keys, std::unique_ptr<KeyFile> file)
        : keys_(std::move(keys)), file_(std::move(file)) {}

    Pushed push_ready() override {
        UINT vk = 0;
        KeyFile::Next next = next_key(&vk);
        if (next == KeyFile::Next::Later) return Pushed::Later;
        if (next == KeyFile::Next::Key) {
            display::push_input(display::key_input(vk, false));
            return Pushed::Event;
        }
        // The end of the script ends a run that no user can go on with.
        return (refused || !display::backend().has_user()) && close() ? Pushed::Event : Pushed::None;
    }

    int ready_fd() const override { return file_ ? file_->descriptor() : -1; }

private:
    KeyFile::Next next_key(UINT *vk) {
        if (next_ < keys_.size()) {
            *vk = keys_[next_++];
            return KeyFile::Next::Key;
        }
        if (!file_) return KeyFile::Next::End;
        std::string error;
        KeyFile::Next next = file_->next(vk, &error);
        if (next == KeyFile::Next::Key || next == KeyFile::Next::Later) return next;
        if (next == KeyFile::Next::Refused) {
            std::fprintf(stderr, "gdibench: %s\n", error.c_str());
            refused = true;
        }
        file_.reset();
        return KeyFile::Next::End;
    }

    // Closes the window as the close box would, once.
    bool close() {
        if (closed_) return false;
        closed_ = true;
        display::InputEvent close;
        close.type = display::InputEvent::Type::Close;
        display::push_input(close);
        return true;
    }

    std::vector<UINT> keys_;
    size_t next_ = 0;
    std::unique_ptr<KeyFile> file_;
    bool closed_ = false;
};

}  // namespace

void play_key_script(const std::vector<UINT> &keys) {
    display::set_host_input(std::make_unique<ScriptInput>(keys, nullptr));
}

void play_key_file(std::unique_ptr<KeyFile> file) {
    display::set_host_input(std::make_unique<ScriptInput>(std::vector<UINT>(), std::move(file)));
}

bool key_script_refused() { return refused; }

}  // namespace host
