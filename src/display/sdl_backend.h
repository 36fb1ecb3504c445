// A real window through SDL2 (X11, Wayland, ...) and its input.
#pragma once
#include <SDL.h>

#include <memory>
#include <string>

#include "display/backend.h"

namespace display {

class SdlBackend : public Backend {
public:
    // Null, with the reason, when SDL finds no display to open windows on. The window's input goes
    // to push: the input queue the caller links, unless it hands another (the window module does).
    static std::unique_ptr<SdlBackend> create(std::string *error, InputSink push = push_input);
    ~SdlBackend() override;

    void open(const char *title, int width, int height) override;
    void close() override;
    void present(const gdi::Surface &surface) override;
    bool has_user() const override { return window_ != nullptr; }
    bool push_next() override;
    bool push_next_until_readable(int fd) override;
    int message_box(const char *text, const char *caption, UINT type) override;
    bool display_size(int *width, int *height) const override;

private:
    explicit SdlBackend(InputSink push) : push_(push) {}
    bool fit_texture(int width, int height);

    InputSink push_;
    SDL_Window *window_ = nullptr;
    SDL_Renderer *renderer_ = nullptr;
    SDL_Texture *texture_ = nullptr;
    int texture_width_ = 0;
    int texture_height_ = 0;
};

}  // namespace display
