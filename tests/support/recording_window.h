// The window system under test: a window class whose procedure records what it gets, and the
// fixture that makes its windows on a headless display with a key script.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "display/screen.h"
#include "host/script_input.h"

namespace benchtest {

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
inline Recorder recorder;

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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

inline const char *register_recording_class() {
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

}  // namespace benchtest
