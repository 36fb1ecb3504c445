// Allocation failures inside the layer's calls: each kind of call gives its documented failure
// result with ERROR_NOT_ENOUGH_MEMORY and keeps nothing, and the program runs on through any one.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <string>

#include "support/bench_run.h"
#include "support/injected_faults.h"
#include "support/test_window.h"

using namespace Gdiplus;

namespace {

TEST(OutOfMemory, EachKindOfCallFailsWithErrorNotEnoughMemory) {
    benchtest::Workspace ws;
    benchtest::WorkingDirectory here(ws.dir());
    benchtest::TestWindow window(16, 16);  // registers the window class while allocations succeed
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&token, &input, NULL), Ok);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    GpImage *image = nullptr;
    IStream *stream = nullptr;
    const std::pair<const char *, std::function<bool()>> calls[] = {
        {"CreateWindowExA",
         [] { return !CreateWindowExA(0, "TestWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, NULL, NULL, NULL, NULL); }},
        {"GetDC", [&] { return !GetDC(window.hwnd()); }},
        {"CreateCompatibleDC", [] { return !CreateCompatibleDC(NULL); }},
        {"CreateDIBSection", [&] { return !CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0); }},
        {"CreateFileA",
         [] { return CreateFileA("new.bin", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL) == INVALID_HANDLE_VALUE; }},
        {"GlobalAlloc", [] { return !GlobalAlloc(GMEM_MOVEABLE, 64); }},
        {"GdipLoadImageFromFile", [&] { return GdipLoadImageFromFile(L"123A.jpg", &image) == OutOfMemory && !image; }},
        {"CreateStreamOnHGlobal", [&] { return CreateStreamOnHGlobal(NULL, TRUE, &stream) == E_OUTOFMEMORY; }},
    };
    unsigned objects = benchtest::gdi_objects();
    DWORD windows = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    {
        benchtest::InjectedFaults faults("Allocation");
        for (const auto &[name, failed] : calls) {
            SetLastError(ERROR_SUCCESS);
            EXPECT_TRUE(failed()) << name;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY)) << name;
        }
    }
    EXPECT_EQ(benchtest::gdi_objects(), objects);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), windows);
    GdiplusShutdown(token);
}

TEST(OutOfMemory, TheProgramRunsOnWhicheverAllocationFails) {
    benchtest::Workspace ws;
    int boxes = 0;
    for (int n = 1; n <= 24; ++n) {
        std::string rule = "Allocation@" + std::to_string(n);
        benchtest::RunResult run = ws.keys("1 8 9 Esc", {{"BENCH_FAULTS", rule}});
        EXPECT_EQ(run.exit_code, 0) << rule << "\n" << run.err;
        boxes += run.err.find("message box") != std::string::npos;
    }
    EXPECT_GT(boxes, 0);  // some failures reach the user, as the window's creation does
}

}  // namespace
