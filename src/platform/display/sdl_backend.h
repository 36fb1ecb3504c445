// A real window through SDL2 (X11, Wayland, ...): the key script first, then real input.
#pragma once
#include <SDL.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "display/backend.h"

namespace display {

class SdlBackend : public Backend {
public:
    // Null, with the reason, when SDL finds no display to open windows on.
    static std::unique_ptr<SdlBackend> create(const std::vector<UINT> &keys, std::string *error);
    ~SdlBackend() override;

    void open(const char *title, int width, int height) override;
    void close() override;
    void present(const gdi::Surface &surface) override;
    InputEvent next_event() override;
    int message_box(const char *text, const char *caption, UINT type) override;

private:
    explicit SdlBackend(const std::vector<UINT> &keys) : keys_(keys.begin(), keys.end()) {}
    bool fit_texture(int width, int height);

    std::deque<UINT> keys_;
    SDL_Window *window_ = nullptr;
    SDL_Renderer *renderer_ = nullptr;
    SDL_Texture *texture_ = nullptr;
    int texture_width_ = 0;
    int texture_height_ = 0;
};

}  // namespace display
