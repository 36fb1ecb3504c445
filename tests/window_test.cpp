// The window system: classes, windows, the message queue, painting and the display backends.
#include <gtest/gtest.h>
#include <windows.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/faults.h"
#include "display/screen.h"
#include "display/sdl_backend.h"
#include "host/script_input.h"
#include "user/window.h"

namespace {

// What the recording window procedure saw, and how it answers.
struct Recorder {
    std::vector<UINT> messages;
    std::vector<MSG> keys;  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR
    std::vector<std::pair<int, int>> sizes;
    LRESULT create_result = 0;
    bool quit_on_destroy = true;
    std::string create_name;
    LPVOID create_param = nullptr;
};
Recorder recorder;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    recorder.messages.push_back(msg);
    switch (msg) {
        case WM_CREATE: {
            auto *cs = reinterpret_cast<CREATESTRUCTA *>(lParam);
            recorder.create_name = cs->lpszName;
            recorder.create_param = cs->lpCreateParams;
            return recorder.create_result;
        }
        case WM_SIZE:
            recorder.sizes.push_back({LOWORD(lParam), HIWORD(lParam)});
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
            recorder.keys.push_back({hwnd, msg, wParam, lParam, 0, {0, 0}});
            break;
        case WM_DESTROY:
            if (recorder.quit_on_destroy) PostQuitMessage(7);
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

const char *register_recording_class() {
    static bool done = false;
    if (!done) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "RecordingClass";
        done = RegisterClassExA(&wc) != 0;
    }
    return "RecordingClass";
}

class WindowSystem : public testing::Test {
protected:
    void SetUp() override {
        recorder = Recorder();
        use_headless({});
    }
    void TearDown() override {
        for (HWND hwnd : created_) DestroyWindow(hwnd);
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0) > 0) {  // drain what the windows left behind
        }
    }

    static void use_headless(const std::vector<UINT> &keys) {
        display::uninstall();
        host::play_key_script(keys);
    }

    HWND create(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int width = 1300, int height = 1067,
                LPVOID param = nullptr) {
        HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, register_recording_class(), "Caption", style, CW_USEDEFAULT,
                                    CW_USEDEFAULT, width, height, NULL, NULL, NULL, param);
        if (hwnd) created_.push_back(hwnd);
        return hwnd;
    }

    // Runs the message loop as the program does; returns the quit code or -1.
    static int run_loop() {
        MSG msg;
        BOOL got;
        while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return got == 0 ? int(msg.wParam) : -1;
    }

    std::vector<HWND> created_;
};

TEST_F(WindowSystem, ClassRegistrationValidatesTheRecord) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ValidatedClass";

    WNDCLASSEXA wrong_size = wc;
    wrong_size.cbSize = sizeof(wc) - 4;
    EXPECT_EQ(RegisterClassExA(&wrong_size), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    WNDCLASSEXA no_name = wc;
    no_name.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassExA(&no_name), 0);

    ATOM atom = RegisterClassExA(&wc);
    EXPECT_NE(atom, 0);
    WNDCLASSEXA same_name_other_case = wc;
    same_name_other_case.lpszClassName = "VALIDATEDCLASS";
    EXPECT_EQ(RegisterClassExA(&same_name_other_case), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
}

TEST_F(WindowSystem, InjectedFaultsFailRegistrationAndCreation) {
    setenv("BENCH_FAULTS", "RegisterClassExA,CreateWindowExA", 1);
    layer::reload_faults();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "FaultyClass";
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(create(), nullptr);
    unsetenv("BENCH_FAULTS");
    layer::reload_faults();
    EXPECT_NE(RegisterClassExA(&wc), 0);
}

TEST_F(WindowSystem, CreationSendsCreateInsideTheCallAndSizesTheClientArea) {
    int param = 0;
    HWND hwnd = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 1300, 1067, &param);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_GE(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[0], UINT(WM_NCCREATE));
    EXPECT_EQ(recorder.messages[1], UINT(WM_CREATE));
    EXPECT_EQ(recorder.create_name, "Caption");
    EXPECT_EQ(recorder.create_param, &param);
    RECT rc;
    ASSERT_TRUE(GetClientRect(hwnd, &rc));
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 1280);
    EXPECT_EQ(rc.bottom, 1024);
    ASSERT_EQ(recorder.sizes.size(), 1u);
    EXPECT_EQ(recorder.sizes[0], std::make_pair(1280, 1024));
    EXPECT_EQ(display::shown_window(), hwnd);
}

TEST_F(WindowSystem, CreationFailsForUnknownClassAndWhenCreateRefuses) {
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));

    DWORD windows = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    recorder.create_result = -1;
    recorder.quit_on_destroy = false;
    EXPECT_EQ(create(), nullptr);
    std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(recorder.messages, expected);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), windows);
    EXPECT_EQ(display::shown_window(), nullptr);
}

TEST_F(WindowSystem, DestroyWindowSendsDestroyThenNcDestroyOnce) {
    recorder.quit_on_destroy = false;
    HWND hwnd = create();
    recorder.messages.clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    std::vector<UINT> expected = {WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(recorder.messages, expected);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 0);
}

TEST_F(WindowSystem, GetMessageTakesPostedThenQuitThenPaintThenInput) {
    use_headless({'A'});
    HWND hwnd = create();  // visible and invalid: a paint is due
    PostMessageA(hwnd, WM_NULL, 1, 0);
    PostQuitMessage(3);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_NULL));
    EXPECT_EQ(msg.hwnd, hwnd);
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), FALSE);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    DispatchMessageA(&msg);  // the default paint validates
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, WPARAM('A'));
}

TEST_F(WindowSystem, GetMessageFailsForABadFilterOrWhenNothingCanArrive) {
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(uintptr_t(0x1234)), 0, 0), -1);
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), -1);  // no window, nothing posted
}

TEST_F(WindowSystem, HeadlessKeysAreHandledOneByOneThenTheWindowCloses) {
    use_headless({'1', VK_NUMPAD5, VK_ESCAPE});
    HWND hwnd = create();
    EXPECT_EQ(run_loop(), 7);  // WM_CLOSE -> destroy -> quit
    EXPECT_FALSE(IsWindow(hwnd));
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (const MSG &m : recorder.keys) keys.push_back({m.message, m.wParam});
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, '1'},         {WM_CHAR, '1'}, {WM_KEYDOWN, VK_NUMPAD5},
        {WM_CHAR, '5'},            {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, VK_ESCAPE}};
    EXPECT_EQ(keys, expected);
    // Every key's paint comes before the next key; the close comes last.
    std::vector<UINT> order;
    for (UINT m : recorder.messages)
        if (m == WM_KEYDOWN || m == WM_PAINT || m == WM_CLOSE) order.push_back(m);
    std::vector<UINT> expected_order = {WM_PAINT, WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_CLOSE};
    EXPECT_EQ(order, expected_order);
}

TEST_F(WindowSystem, ScriptedF10AndAltArriveAsSystemKeys) {
    use_headless({VK_F10, VK_MENU, 'A', 0xFF});
    create();
    EXPECT_EQ(run_loop(), 7);
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> keys;
    for (const MSG &m : recorder.keys)
        if (m.message != WM_CHAR) keys.push_back({m.message, m.wParam, (m.lParam >> 29) & 1});
    // Bit 29 of lParam says Alt is held: not for F10 alone.
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> expected = {
        {WM_SYSKEYDOWN, VK_F10, 0}, {WM_SYSKEYDOWN, VK_MENU, 1}, {WM_KEYDOWN, 'A', 0}, {WM_KEYDOWN, 0xFF, 0}};
    EXPECT_EQ(keys, expected);
}

TEST_F(WindowSystem, SendMessageIsReentrant) {
    static int depth = 0, deepest = 0;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpszClassName = "ReentrantClass";
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg != WM_USER) return DefWindowProcA(hwnd, msg, wParam, lParam);
        ++depth;
        deepest = std::max(deepest, depth);
        LRESULT inner = wParam ? SendMessageA(hwnd, msg, wParam - 1, 0) : 100;
        --depth;
        return inner + 1;
    };
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "ReentrantClass", "", 0, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 4, 0), 105);
    EXPECT_EQ(deepest, 5);
    DestroyWindow(hwnd);
}

TEST_F(WindowSystem, PaintErasesWithTheClassBackgroundAndPresents) {
    HWND hwnd = create();
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    DispatchMessageA(&msg);  // the first paint
    HDC hdc = GetDC(hwnd);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 40; ++x) SetPixel(hdc, x, y, RGB(0, 0, 0));
    ReleaseDC(hwnd, hdc);
    display::Frame before = display::snapshot();
    ASSERT_EQ(before.pixels.size(), size_t(1280) * 1024);
    EXPECT_EQ(before.pixels[0] & 0xFFFFFF, 0u);

    RECT part = {10, 20, 30, 40};
    InvalidateRect(hwnd, &part, TRUE);
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    ASSERT_EQ(msg.message, UINT(WM_PAINT));
    DispatchMessageA(&msg);
    display::Frame after = display::snapshot();
    for (int y : {19, 20, 39, 40})
        for (int x : {9, 10, 29, 30}) {
            bool inside = x >= 10 && x < 30 && y >= 20 && y < 40;
            EXPECT_EQ(after.pixels[size_t(y) * 1280 + x] & 0xFFFFFF, inside ? 0xFFFFFFu : 0u) << x << "," << y;
        }
}

TEST_F(WindowSystem, BeginPaintReportsTheUpdateAreaAndValidates) {
    HWND hwnd = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 243);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);  // the creation's paint
    RECT a = {5, 5, 10, 10}, b = {50, 60, 70, 80};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    HDC hdc = BeginPaint(hwnd, &ps);
    EXPECT_EQ(hdc, ps.hdc);
    EXPECT_EQ(ps.rcPaint.left, 5);
    EXPECT_EQ(ps.rcPaint.top, 5);
    EXPECT_EQ(ps.rcPaint.right, 70);
    EXPECT_EQ(ps.rcPaint.bottom, 80);
    EXPECT_FALSE(ps.fErase);
    EXPECT_TRUE(EndPaint(hwnd, &ps));
    recorder.messages.clear();
    EXPECT_EQ(run_loop(), 7);  // straight to the close: no paint is due any more
    std::vector<UINT> expected = {WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(recorder.messages, expected);
}

TEST_F(WindowSystem, ResizeReallocatesTheSurfaceAndRepaints) {
    HWND hwnd = create();
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    recorder.sizes.clear();
    recorder.messages.clear();
    user::resize_client(hwnd, 640, 480);
    RECT rc;
    GetClientRect(hwnd, &rc);
    EXPECT_EQ(rc.right, 640);
    EXPECT_EQ(rc.bottom, 480);
    ASSERT_EQ(recorder.sizes.size(), 1u);
    EXPECT_EQ(recorder.sizes[0], std::make_pair(640, 480));
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    DispatchMessageA(&msg);
    display::Frame frame = display::snapshot();
    EXPECT_EQ(frame.width, 640);
    EXPECT_EQ(frame.height, 480);
    EXPECT_EQ(frame.pixels.back() & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(WindowSystem, HandleCountsReturnToTheStart) {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    use_headless({'1', '2'});
    HWND hwnd = create();
    HDC kept = GetDC(hwnd);  // still held when the window goes away
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user + 1);
    run_loop();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ReleaseDC(hwnd, kept), 0);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

TEST_F(WindowSystem, StockIconAndCursorAreTheSystemOnes) {
    HICON icon = LoadIconA(NULL, IDI_APPLICATION);
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(NULL, IDI_APPLICATION), icon);
    EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), nullptr);
    EXPECT_NE((void *)LoadCursorA(NULL, IDC_ARROW), (void *)icon);
    EXPECT_EQ(LoadIconA(NULL, MAKEINTRESOURCEA(32513)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(WindowSystem, HeadlessMessageBoxGoesToStderrAndIsAnsweredOk) {
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(NULL, "Window Creation Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "message box \"Error!\": Window Creation Failed!\n");
    EXPECT_EQ(answer, IDOK);
}

}  // namespace

namespace {

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
