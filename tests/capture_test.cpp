// Window capture and pixel dumps: the client-area capture into "new.bmp", the fixed grab and the
// dump files, driven through the running bench and through the routines on a test window.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "state/program_state.h"
#include "capture/capture.h"
#include "support/bench_run.h"
#include "support/dump_file.h"
#include "support/file_size_limit.h"
#include "support/png_image.h"
#include "support/captured_stdout.h"
#include "support/test_window.h"

using namespace benchtest;

namespace {

const std::string kRule = "-----------------------------------------------\n";

class InWorkspace : public testing::Test {
protected:
    void TearDown() override {
        key_num = 0;
        rwsize = 0;
    }
    Workspace workspace{false};
    WorkingDirectory cwd{workspace.dir()};
};

std::string hex(const void *handle) {
    char text[32];
    snprintf(text, sizeof(text), "%x", unsigned(uintptr_t(handle)));
    return text;
}

// Every pixel of the window, as 0x00RRGGBB.
std::vector<uint32_t> window_pixels(const TestWindow &window) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x) pixels.push_back(window.rgb(x, y));
    return pixels;
}

// Checks a 24-bit top-down pixel array (rows of `stride` bytes) against the window's pixels.
void expect_rows_match_window(const std::string &bytes, int stride, const TestWindow &window) {
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const unsigned char *p = (const unsigned char *)bytes.data() + size_t(y) * stride + 3 * x;
            uint32_t got = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            ASSERT_EQ(got, window.rgb(x, y)) << "pixel " << x << "," << y;
        }
        for (int pad = 3 * window.width(); pad < stride; ++pad)
            ASSERT_EQ(bytes[size_t(y) * stride + pad], 0) << "padding of row " << y;
    }
}

using ClientCapture = InWorkspace;

TEST_F(ClientCapture, OddWidthPrintsSizesAndWritesPaddedTopDownRows) {
    TestWindow window(1001, 500);
    window.paint_pattern();
    std::vector<uint32_t> before = window_pixels(window);
    key_num = 1;
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_GetRGB(window.hwnd(), window.dc()), 0); });
    EXPECT_EQ(out, "HWND " + hex(window.hwnd()) + " HDC " + hex(window.dc()) + " \n" +
                       "1001 500 3004 1502000 4506000 \n");
    std::string file = workspace.read("new.bmp");
    ASSERT_EQ(file.size(), 1502000u);
    expect_rows_match_window(file, 3004, window);
    EXPECT_EQ(window_pixels(window), before) << "the copy back lands where the pixels came from";
}

TEST_F(ClientCapture, WidthMultipleOfFourHasNoPadding) {
    TestWindow window(1000, 500);
    window.paint_pattern();
    capture_stdout([&] { fn_GetRGB(window.hwnd(), window.dc()); });
    std::string file = workspace.read("new.bmp");
    ASSERT_EQ(file.size(), 1500000u);
    EXPECT_EQ((unsigned char)file[0], window.rgb(0, 0) & 0xFF);
    EXPECT_EQ((unsigned char)file[1], (window.rgb(0, 0) >> 8) & 0xFF);
    EXPECT_EQ((unsigned char)file[2], window.rgb(0, 0) >> 16);
}

TEST_F(ClientCapture, ModeSevenPrintsAThirdLine) {
    TestWindow window(1001, 500);
    key_num = 7;
    std::string out = capture_stdout([&] { fn_GetRGB(window.hwnd(), window.dc()); });
    EXPECT_NE(out.find("1001 500 3004 1502000 4506000 \n1001 500 3004 \n"), std::string::npos) << out;
}

TEST_F(ClientCapture, EmptyClientAreaLeavesAnEmptyFile) {
    TestWindow window(0, 0);
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_GetRGB(window.hwnd(), window.dc()), 0); });
    EXPECT_NE(out.find("0 0 0 0 0 \n"), std::string::npos) << out;
    EXPECT_TRUE(workspace.exists("new.bmp"));
    EXPECT_EQ(workspace.read("new.bmp").size(), 0u);
}

TEST_F(ClientCapture, FileHeldOpenElsewhereLeavesFileAndWindowAlone) {
    TestWindow window(64, 32);
    window.paint_pattern();
    workspace.write("new.bmp", "held");
    int fd = open(workspace.path("new.bmp").c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    std::vector<uint32_t> before = window_pixels(window);
    key_num = 1;
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_GetRGB(window.hwnd(), window.dc()), 0); });
    close(fd);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_EQ(workspace.read("new.bmp"), "held");
    EXPECT_EQ(window_pixels(window), before);
}

TEST_F(ClientCapture, EveryModeReleasesWhatItCreates) {
    TestWindow window(101, 40);
    unsigned objects = gdi_objects();
    for (int mode = 0; mode <= 9; ++mode) {
        key_num = (signed char)mode;
        capture_stdout([&] { fn_GetRGB(window.hwnd(), window.dc()); });
        EXPECT_EQ(gdi_objects(), objects) << "mode " << mode;
        EXPECT_EQ(workspace.read("new.bmp").size(), 304u * 40) << "mode " << mode;
    }
    EXPECT_EQ(workspace.read("test0.txt").size(), 4u * 101 * 40) << "mode 0 dumps the device pixels";
}

using PixelDump = InWorkspace;

TEST_F(PixelDump, ThreeNumberFormatCoversEveryPixelOfTheArray) {
    // Two rows of two pixels, stride 8: the padding bytes must not be dumped.
    unsigned char bytes[16] = {12, 200, 7, 0, 42, 255, 99, 99, 1, 2, 3, 10, 20, 30, 99, 99};
    std::string out = capture_stdout([&] { fn_Log(9, NULL, 2, 2, bytes, sizeof(bytes)); });
    EXPECT_EQ(out, kRule + "DIB [9] \n" + kRule);
    EXPECT_EQ(workspace.read("test9.txt"), " 12200  7   0 42255   1  2  3  10 20 30 ");
}

TEST_F(PixelDump, EmptyRectangleGivesEmptyFileAndAllThreeLines) {
    unsigned char byte = 0;
    for (int size : {0, -3}) {
        std::string out = capture_stdout([&] { fn_Log(8, NULL, size, 5, &byte, 1); });
        EXPECT_EQ(out, kRule + "DIB [8] \n" + kRule);
        EXPECT_TRUE(workspace.exists("test8.txt"));
        EXPECT_EQ(workspace.read("test8.txt"), "");
    }
}

TEST_F(PixelDump, OtherTypesUseOneNumberPerByteAndRwsizeAsStride) {
    unsigned char bytes[6] = {7, 42, 255, 0, 1, 2};
    rwsize = 0;
    capture_stdout([&] { fn_Log(-1, NULL, 3, 2, bytes, sizeof(bytes)); });
    EXPECT_EQ(workspace.read("test-1.txt"), "  7  42 255   7  42 255 ");
    rwsize = 3;
    capture_stdout([&] { fn_Log(5, NULL, 3, 2, bytes, sizeof(bytes)); });
    EXPECT_EQ(workspace.read("test5.txt"), "  7  42 255   0   1   2 ");
}

TEST_F(PixelDump, RequestsReachingPastTheArrayAreRefused) {
    unsigned char bytes[10] = {};
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_Log(8, NULL, 2, 2, bytes, sizeof(bytes)), 0); });
    EXPECT_EQ(out, kRule);
    EXPECT_EQ(workspace.read("test8.txt"), "");
    out = capture_stdout([&] { EXPECT_EQ(fn_Log(1, NULL, 4, 4, NULL, 0), 0); });
    EXPECT_EQ(out, kRule);
    rwsize = 100;
    out = capture_stdout([&] { EXPECT_EQ(fn_Log(3, NULL, 2, 2, bytes, sizeof(bytes)), 0); });
    EXPECT_EQ(out, kRule);
}

TEST_F(PixelDump, DeviceDumpReadsRowsAsRowsAndKeepsByteTenWhole) {
    TestWindow window(5, 3);
    window.paint_pattern();
    SetPixel(window.dc(), 4, 0, RGB(10, 10, 10));
    capture_stdout([&] { fn_Log(0, window.dc(), 5, 3, NULL, 0); });
    std::string file = workspace.read("test0.txt");
    ASSERT_EQ(file.size(), 4u * 5 * 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c) {
            uint32_t rgb = window.rgb(c, r);
            const char *e = file.data() + 4 * (r * 5 + c);
            EXPECT_EQ((unsigned char)e[0], rgb >> 16);
            EXPECT_EQ((unsigned char)e[1], (rgb >> 8) & 0xFF);
            EXPECT_EQ((unsigned char)e[2], rgb & 0xFF);
            EXPECT_EQ(e[3], ' ');
        }
}

TEST_F(PixelDump, DevicePixelsOutsideTheClientAreaAreWhite) {
    TestWindow window(2, 2);
    capture_stdout([&] { fn_Log(0, window.dc(), 3, 1, NULL, 0); });
    EXPECT_EQ(workspace.read("test0.txt").substr(8), "\xff\xff\xff ");
}

TEST_F(PixelDump, UnopenableFileShowsOnlyTheFirstLine) {
    ASSERT_EQ(mkdir(workspace.path("test8.txt").c_str(), 0700), 0);
    unsigned char bytes[8] = {};
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_Log(8, NULL, 1, 1, bytes, sizeof(bytes)), 0); });
    EXPECT_EQ(out, kRule);
}

TEST_F(PixelDump, AFullDiskIsReportedInTheResult) {
    std::vector<unsigned char> bytes(3 * 64 * 64, 7);
    int result = 0;
    capture_stdout([&] {
        FileSizeLimit full(1000);
        result = fn_Log(9, NULL, 64, 64, bytes.data(), bytes.size());
    });
    EXPECT_EQ(result, EOF);
}

using WindowGrab = InWorkspace;

TEST_F(WindowGrab, DumpsEveryPixelOfTheClientAreaAndCopiesItBack) {
    TestWindow window(1280, 1024);
    window.paint_pattern();
    std::vector<uint32_t> before = window_pixels(window);
    unsigned objects = gdi_objects();
    key_num = 8;
    std::string out = capture_stdout([&] { EXPECT_EQ(fn_GetPixel(window.hwnd()), 1); });
    EXPECT_EQ(out, kRule + "DIB [8] \n" + kRule);
    DumpFile dump(workspace.read("test8.txt"));
    ASSERT_EQ(dump.size(), 13107200u);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x) ASSERT_EQ(dump.rgb(y, x), before[size_t(y) * 1280 + x]) << x << "," << y;
    EXPECT_EQ(window_pixels(window), before);
    EXPECT_EQ(gdi_objects(), objects);
}

TEST_F(WindowGrab, AreaBeyondASmallerClientAreaIsBlack) {
    TestWindow window(100, 50);
    key_num = 9;
    capture_stdout([&] { fn_GetPixel(window.hwnd()); });
    DumpFile dump(workspace.read("test9.txt"));
    EXPECT_EQ(dump.rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(dump.rgb(49, 99), 0xFFFFFFu);
    EXPECT_EQ(dump.rgb(0, 100), 0u);
    EXPECT_EQ(dump.rgb(50, 0), 0u);
}

TEST(DibHeaders, ColourTableCountsAndSizes) {
    struct Case {
        DWORD size;
        WORD bits;
        DWORD compression, used, colours, bytes;
    } cases[] = {
        {40, 24, BI_RGB, 0, 0, 0},       {40, 16, BI_BITFIELDS, 0, 0, 12}, {40, 32, BI_BITFIELDS, 0, 0, 12},
        {40, 8, BI_RGB, 20, 20, 80},     {40, 0, BI_RGB, 0, 1, 4},         {40, 8, BI_RGB, 300, 300, 1200},
        {40, 1, BI_RGB, 0, 2, 8},        {40, 4, BI_RGB, 0, 16, 64},       {108, 8, BI_RGB, 0, 256, 1024},
        {124, 8, BI_BITFIELDS, 0, 256, 1036},
    };
    for (const Case &c : cases) {
        BITMAPINFOHEADER header = {};
        header.biSize = c.size;
        header.biBitCount = c.bits;
        header.biCompression = c.compression;
        header.biClrUsed = c.used;
        EXPECT_EQ(DIBNumColors(&header), c.colours) << c.bits << " bits, " << c.used << " used";
        EXPECT_EQ(ColorTableSize(&header), c.bytes) << c.bits << " bits, " << c.used << " used";
    }
    BITMAPCOREHEADER core = {12, 10, 10, 1, 8};
    EXPECT_EQ(DIBNumColors(&core), 256u);
    EXPECT_EQ(ColorTableSize(&core), 768u);
}

TEST(DibHeaders, DeviceBitmapNeedsInitialPixels) {
    TestWindow window(16, 16);
    std::vector<unsigned char> bits(64 * 16, 0x80);
    unsigned objects = gdi_objects();
    EXPECT_EQ(fn_hdc2HBitmap(window.dc(), 16, 16, 24, NULL), (HBITMAP)NULL);
    HBITMAP bitmap = fn_hdc2HBitmap(window.dc(), 16, 16, 24, bits.data());
    ASSERT_NE(bitmap, (HBITMAP)NULL);
    BITMAP bm;
    ASSERT_NE(GetObjectA(bitmap, sizeof(bm), &bm), 0);
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);
    DeleteObject(bitmap);
    EXPECT_EQ(gdi_objects(), objects);
}

// The running bench, headless.

TEST(CaptureRun, ModeOneCapturesTheClientAreaIntoNewBmp) {
    Workspace workspace;
    RunResult run = workspace.keys("1", {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::string expected_tail = "1280 1024 3840 3932160 11796480 \nkey 1\n";
    ASSERT_GE(run.out.size(), expected_tail.size());
    EXPECT_EQ(run.out.substr(0, 18), "key 49\nkey_num 1\nH");
    EXPECT_EQ(run.out.substr(run.out.size() - expected_tail.size()), expected_tail);
    RgbaImage shot;
    ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
    std::string file = workspace.read("new.bmp");
    ASSERT_EQ(file.size(), 3932160u);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x) {
            const unsigned char *p = (const unsigned char *)file.data() + y * 3840 + 3 * x;
            const uint8_t *s = shot.at(x, y);
            ASSERT_TRUE(p[0] == s[2] && p[1] == s[1] && p[2] == s[0]) << x << "," << y;
        }
}

TEST(CaptureRun, ModeEightDumpsWhatTheWindowShows) {
    Workspace workspace;
    RunResult run = workspace.keys("8", {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "key 56\nkey_num 8\n" + kRule + "DIB [8] \n" + kRule);
    RgbaImage shot;
    ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
    DumpFile dump(workspace.read("test8.txt"));
    ASSERT_EQ(dump.size(), 13107200u);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x) {
            const uint8_t *s = shot.at(x, y);
            ASSERT_EQ(dump.rgb(y, x), (uint32_t(s[0]) << 16) | (uint32_t(s[1]) << 8) | s[2]) << x << "," << y;
        }
}

TEST(CaptureRun, UnwritableOutputsFailQuietlyAndNothingCrashes) {
    Workspace workspace;
    for (const char *name : {"new.bmp", "test8.txt", "test9.txt", "testC.jpg"})
        ASSERT_EQ(mkdir(workspace.path(name).c_str(), 0700), 0);
    RunResult run = workspace.keys("1 8 9 0");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("1280 1024 3840 3932160 11796480 \nkey 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("key_num 8\n" + kRule + "key 57\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("Failed to save data to the disk!"), std::string::npos) << run.err;
}

}  // namespace
