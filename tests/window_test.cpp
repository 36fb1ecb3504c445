// The window system: classes, windows, the message queue, painting, on the headless display.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/faults.h"
#include "display/screen.h"
#include "display/window_placement.h"
#include "support/recording_window.h"
#include "user/window.h"

namespace {

using namespace benchtest;

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

// A window is centred on the screen's usable area, but never starts before it.
TEST(WindowPlacement, CentredButNeverOffTheTopOrLeft) {
    struct Case {
        int start, extent, size, placed;
    };
    const Case cases[] = {
        {0, 1600, 1280, 160},     // room to spare: centred
        {0, 1024, 1280, 0},       // a smaller screen: its first column, not -128
        {0, 768, 1024, 0},        // the same for rows
        {1920, 1024, 1280, 1920}, // a second screen's area starts where it does
        {24, 1000, 1000, 24},     // a panel above: just below it
    };
    for (const Case &c : cases)
        EXPECT_EQ(display::placed_start(c.start, c.extent, c.size), c.placed) << c.extent << " " << c.size;
}

}  // namespace
