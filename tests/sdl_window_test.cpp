// The window system on the SDL backend: real SDL events become the window's messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "display/screen.h"
#include "display/sdl_backend.h"
#include "host/script_input.h"
#include "support/recording_window.h"

namespace {

using namespace benchtest;

// The SDL backend on SDL's display-less driver: real SDL events, pushed by the test.
class SdlWindow : public WindowSystem {
protected:
    void SetUp() override {
        WindowSystem::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        std::string error;
        auto sdl = display::SdlBackend::create(&error);
        ASSERT_TRUE(sdl) << error;
        display::install(std::move(sdl));
        hwnd_ = create();
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        WindowSystem::TearDown();
        use_headless({});
        unsetenv("SDL_VIDEODRIVER");
    }

    static void push_key(SDL_Keycode sym, Uint16 mod = KMOD_NONE, bool repeat = false) {
        SDL_Event event = {};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.repeat = repeat;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    static void push_window_event(Uint8 what, int data1 = 0, int data2 = 0) {
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }

    // The next key message, handling paints and characters on the way.
    static MSG next_key() {
        MSG msg = {};
        while (GetMessageA(&msg, NULL, 0, 0) > 0) {
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) return msg;
            DispatchMessageA(&msg);
        }
        return msg;
    }

    HWND hwnd_ = nullptr;
};

TEST_F(SdlWindow, KeysBecomeVirtualKeyMessages) {
    struct Case {
        SDL_Keycode sym;
        Uint16 mod;
        UINT message;
        WPARAM vk;
    };
    const Case cases[] = {
        {SDLK_q, KMOD_NONE, WM_KEYDOWN, 'Q'},
        {SDLK_q, KMOD_LSHIFT, WM_KEYDOWN, 'Q'},
        {SDLK_7, KMOD_NONE, WM_KEYDOWN, '7'},
        {SDLK_KP_5, KMOD_NUM, WM_KEYDOWN, VK_NUMPAD5},
        {SDLK_KP_0, KMOD_NUM, WM_KEYDOWN, VK_NUMPAD0},
        {SDLK_KP_8, KMOD_NONE, WM_KEYDOWN, VK_UP},
        {SDLK_KP_0, KMOD_NONE, WM_KEYDOWN, VK_INSERT},
        {SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE},
        {SDLK_LSHIFT, KMOD_NONE, WM_KEYDOWN, VK_SHIFT},
        {SDLK_PERIOD, KMOD_NONE, WM_KEYDOWN, VK_OEM_PERIOD},
        {SDLK_F1, KMOD_NONE, WM_KEYDOWN, VK_F1},
        {SDLK_F10, KMOD_NONE, WM_SYSKEYDOWN, VK_F10},
        {SDLK_x, KMOD_LALT, WM_SYSKEYDOWN, 'X'},
        {SDLK_5, KMOD_RALT, WM_SYSKEYDOWN, '5'},
    };
    for (const Case &c : cases) {
        push_key(c.sym, c.mod);
        MSG msg = next_key();
        EXPECT_EQ(msg.message, c.message) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(msg.wParam, c.vk) << SDL_GetKeyName(c.sym);
        EXPECT_EQ((msg.lParam >> 29) & 1, (c.mod & KMOD_ALT) ? 1 : 0) << "Alt bit of " << SDL_GetKeyName(c.sym);
        EXPECT_EQ(msg.hwnd, hwnd_);
    }
}

TEST_F(SdlWindow, EachAutoRepeatIsAKeyDownOfItsOwn) {
    push_key(SDLK_r);
    push_key(SDLK_r, KMOD_NONE, true);
    push_key(SDLK_r, KMOD_NONE, true);
    MSG first = next_key();
    EXPECT_EQ(first.wParam, WPARAM('R'));
    EXPECT_EQ(first.lParam & (1 << 30), 0);
    for (int i = 0; i < 2; ++i) {
        MSG repeat = next_key();
        EXPECT_EQ(repeat.wParam, WPARAM('R'));
        EXPECT_NE(repeat.lParam & (1 << 30), 0);
    }
}

TEST_F(SdlWindow, ResizeChangesTheClientAreaAndRepaints) {
    push_window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    push_key(SDLK_a);
    recorder.messages.clear();
    next_key();
    RECT rc;
    GetClientRect(hwnd_, &rc);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
    ASSERT_FALSE(recorder.sizes.empty());
    EXPECT_EQ(recorder.sizes.back(), std::make_pair(800, 600));
    EXPECT_NE(std::find(recorder.messages.begin(), recorder.messages.end(), UINT(WM_PAINT)), recorder.messages.end());
    EXPECT_EQ(display::snapshot().width, 800);
}

TEST_F(SdlWindow, TheCloseButtonAndAltF4SendWmClose) {
    push_window_event(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(run_loop(), 7);
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_NE(std::find(recorder.messages.begin(), recorder.messages.end(), UINT(WM_CLOSE)), recorder.messages.end());

    hwnd_ = create();
    recorder.messages.clear();
    push_key(SDLK_F4, KMOD_LALT);
    EXPECT_EQ(run_loop(), 7);
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_NE(std::find(recorder.messages.begin(), recorder.messages.end(), UINT(WM_CLOSE)), recorder.messages.end());
}

TEST_F(SdlWindow, ScriptKeysComeBeforeRealInput) {
    recorder.quit_on_destroy = false;
    DestroyWindow(hwnd_);
    recorder.quit_on_destroy = true;
    std::string error;
    auto sdl = display::SdlBackend::create(&error);
    ASSERT_TRUE(sdl) << error;
    display::install(std::move(sdl));
    host::play_key_script({'1', '2'});
    hwnd_ = create();
    push_key(SDLK_3);
    EXPECT_EQ(next_key().wParam, WPARAM('1'));
    EXPECT_EQ(next_key().wParam, WPARAM('2'));
    EXPECT_EQ(next_key().wParam, WPARAM('3'));
}

}  // namespace
