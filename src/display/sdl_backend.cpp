#include "display/sdl_backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/sdl_keys.h"
#include "display/window_placement.h"
#include "sys/readable.h"
#include "sys/readable_watch.h"

namespace display {
namespace {

constexpr UINT kIconMask = 0xF0;
constexpr UINT kIconHand = 0x10;

Uint32 box_flags(UINT type) {
    switch (type & kIconMask) {
        case kIconHand:
            return SDL_MESSAGEBOX_ERROR;
        case MB_ICONEXCLAMATION:
            return SDL_MESSAGEBOX_WARNING;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

// The window's events as input events; Type None for those the window system does not need.
InputEvent window_event(const SDL_WindowEvent &window) {
    InputEvent event;
    switch (window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = InputEvent::Type::Close;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.type = InputEvent::Type::Resize;
            event.width = window.data1;
            event.height = window.data2;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            event.type = InputEvent::Type::Expose;
            break;
    }
    return event;
}

bool is_displayless(const char *driver) {
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

InputEvent translate(const SDL_Event &sdl) {
    if (sdl.type == SDL_WINDOWEVENT) return window_event(sdl.window);
    if (sdl.type == SDL_KEYDOWN) return key_event(sdl.key);
    return InputEvent();
}

// How often the window looks at another descriptor while it waits for its own events, when no
// thread can watch that descriptor for it.
constexpr int kLookAgainMs = 5;

}  // namespace

std::unique_ptr<SdlBackend> SdlBackend::create(std::string *error, InputSink push) {
    // Ctrl+C ends the process at once, as it does for the platform's console programs.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = SDL_GetError();
        return nullptr;
    }
    // Without a display SDL falls back to drivers that show nothing; only a user who names
    // one in SDL_VIDEODRIVER gets it.
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!std::getenv("SDL_VIDEODRIVER") && is_displayless(driver)) {
        *error = std::string("SDL found only its ") + driver + " driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<SdlBackend>(new SdlBackend(push));
}

SdlBackend::~SdlBackend() {
    close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlBackend::open(const char *title, int width, int height) {
    // Centred on the first screen, as SDL would, but never cut off at its top or left.
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
    SDL_Rect screen;
    if (SDL_GetDisplayUsableBounds(0, &screen) == 0) {
        x = placed_start(screen.x, screen.w, width);
        y = placed_start(screen.y, screen.h, height);
    }
    // An OpenGL renderer makes SDL destroy and recreate the native window with other flags. So the
    // window is made hidden and untitled, gets its renderer, and only then its title and visibility:
    // whoever finds the window titled by the program (a tool, a window manager rule) finds the one
    // that lasts.
    window_ = SDL_CreateWindow("", x, y, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) {
        std::fprintf(stderr, "gdibench: cannot open the window: %s\n", SDL_GetError());
        close();
        return;
    }
    SDL_SetWindowTitle(window_, title);
    SDL_ShowWindow(window_);
}

void SdlBackend::close() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
}

bool SdlBackend::fit_texture(int width, int height) {
    if (texture_ && texture_width_ == width && texture_height_ == height) return true;
    if (texture_) SDL_DestroyTexture(texture_);
    // 0x00RRGGBB in memory order B, G, R, X: the window surface's own layout.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    texture_width_ = width;
    texture_height_ = height;
    return texture_ != nullptr;
}

void SdlBackend::present(const gdi::Surface &surface) {
    if (!renderer_ || surface.width <= 0 || surface.height <= 0) return;
    if (!fit_texture(surface.width, surface.height)) return;
    SDL_UpdateTexture(texture_, nullptr, surface.row(0), surface.stride);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

bool SdlBackend::push_next() {
    if (!window_) return false;
    SDL_Event sdl;
    while (SDL_WaitEvent(&sdl)) {
        InputEvent event = translate(sdl);
        if (event.type == InputEvent::Type::None) continue;
        push_(event);
        return true;
    }
    std::fprintf(stderr, "gdibench: no more input: %s\n", SDL_GetError());
    return false;
}

bool SdlBackend::push_next_until_readable(int fd) {
    if (!window_) return Backend::push_next_until_readable(fd);
    // The watch wakes the wait with an event of this type once fd has something to read.
    static const Uint32 readable = SDL_RegisterEvents(1);
    sys::ReadableWatch watch(fd, [] {
        SDL_Event event = {};
        event.type = readable;
        SDL_PushEvent(&event);
    });
    int timeout = watch.watching() ? -1 : kLookAgainMs;
    SDL_Event sdl;
    for (;;) {
        if (!SDL_WaitEventTimeout(&sdl, timeout)) {
            // Without a watch, the window and fd take turns; an SDL that cannot wait leaves fd alone.
            if (sys::wait_readable(fd, timeout)) return false;
            continue;
        }
        if (sdl.type == readable) return false;
        InputEvent event = translate(sdl);
        if (event.type == InputEvent::Type::None) continue;
        push_(event);
        return true;
    }
}

int SdlBackend::message_box(const char *text, const char *caption, UINT type) {
    return SDL_ShowSimpleMessageBox(box_flags(type), caption, text, window_) == 0 ? IDOK : 0;
}

bool SdlBackend::display_size(int *width, int *height) const {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

}  // namespace display
