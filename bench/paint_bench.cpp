// Whole paints of modes 1, 8 and 9 (the routines the paint dispatch runs, on a 1280 x 1024
// window), against the floor of writing the 13,107,200-byte dump from a filled buffer, and a
// soak of each mode: GDI objects and resident memory after 100 and after 1,000 paints.
#include <windows.h>
#include <gdiplus.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "bitmap/bitmap.h"
#include "capture/capture.h"
#include "support/test_window.h"
#include "timing.h"
#include "transcode/transcode.h"

namespace {

void write_filled(size_t bytes) {
    static std::vector<char> buffer(bytes, ' ');
    FILE *file = fopen("floor.out", "wb");
    fwrite(buffer.data(), 1, bytes, file);
    fclose(file);
}

struct Mode {
    const char *name;
    int number;
};

void paint(const benchtest::TestWindow &window, int mode) {
    key_num = (signed char)mode;
    HDC hdc = window.dc();
    if (mode == 1) {
        fn_JPG(hdc);
        fn_GetRGB(window.hwnd(), hdc);
    }
    if (mode == 8) {
        fn_JPG(hdc);
        fn_GetPixel(window.hwnd());
    }
    if (mode == 9) {
        if (hBit) DeleteObject(hBit);
        hBit = MakeDIBSection((char *)"testA.bmp");
        fn_DrawBitmap(hdc, 0, 0, hBit);
        fn_GetPixel(window.hwnd());
    }
    if (mode >= 2 && mode <= 7) fn_draw(window.hwnd(), hdc);
}

long current_rss_kb() {
    FILE *status = fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (status && fscanf(status, "%ld %ld", &pages, &resident) != 2) resident = 0;
    if (status) fclose(status);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char **argv) {
    int soak = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::string dir = benchtime::enter_scratch_dir("paint_bench");
    if (dir.empty()) return 1;
    for (const char *name : {"123A.jpg", "testA.bmp"}) {
        std::string from = std::string(BENCH_SAMPLES) + "/" + name;
        if (std::system(("cp '" + from + "' .").c_str()) != 0) return 1;
    }
    int results = benchtime::silence_stdout();

    CoInitialize(NULL);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, NULL);
    benchtest::TestWindow window(1280, 1024);

    std::vector<std::string> lines;
    char line[256];
    const Mode modes[] = {{"mode 1 (transcode, capture to new.bmp)", 1},
                          {"mode 8 (transcode, grab, dump)", 8},
                          {"mode 9 (load BMP, draw, grab, dump)", 9},
                          {"mode 2 (pattern renderer)", 2}};
    for (const Mode &mode : modes) {
        double paint_ms, floor_ms;
        benchtime::best_ms_interleaved(
            7, [&] { paint(window, mode.number); }, [] { write_filled(13107200); }, &paint_ms, &floor_ms);
        unsigned objects = benchtest::gdi_objects();
        long rss_start = current_rss_kb();
        long rss_100 = 0;
        for (int i = 1; i <= soak; ++i) {
            paint(window, mode.number);
            if (i == 100) rss_100 = current_rss_kb();
        }
        snprintf(line, sizeof(line), "%-40s %8.2f ms  %5.2f x the dump floor (%.2f ms)", mode.name, paint_ms,
                 paint_ms / floor_ms, floor_ms);
        lines.push_back(line);
        snprintf(line, sizeof(line), "  soak of %d paints: GDI objects %u -> %u, resident %ld kB -> %ld kB (100) -> %ld kB",
                 soak, objects, benchtest::gdi_objects(), rss_start, rss_100, current_rss_kb());
        lines.push_back(line);
    }
    benchtime::restore_stdout(results);
    std::printf("Whole paints on a 1280 x 1024 window (best of 7), then a soak of each mode\n");
    for (const std::string &text : lines) std::printf("%s\n", text.c_str());
    std::printf("peak resident memory: %ld kB\n", benchtime::peak_rss_kb());
    if (hBit) DeleteObject(hBit);
    Gdiplus::GdiplusShutdown(token);
    CoUninitialize();
    return std::system(("rm -rf '" + dir + "'").c_str()) == 0 ? 0 : 1;
}
