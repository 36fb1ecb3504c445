// BMP loading and blitting, and the pattern renderer: real BMP files of every kind through
// MakeDIBSection and fn_DrawBitmap, crafted bad files, mode 9 of the running bench, and the
// patterns of modes 2 to 7.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <iostream>
#include <string>

#include "state/program_state.h"
#include "bitmap/bitmap.h"
#include "support/bench_run.h"
#include "support/corpus_index.h"
#include "support/dump_file.h"
#include "support/png_image.h"
#include "support/reference_pixels.h"
#include "support/canvas.h"
#include "support/captured_stdout.h"
#include "support/test_window.h"

using namespace benchtest;

namespace {


uint32_t rgb_of(const uint8_t *rgba) { return (uint32_t(rgba[0]) << 16) | (uint32_t(rgba[1]) << 8) | rgba[2]; }

// Loads a file and draws it; returns the number of pixels that differ from the reference as the
// platform expands its channels (opaque reference pixels only), or -1 when the file did not load.
long mismatches_with_reference(const std::string &bmp, const std::string &png, int tolerance) {
    RgbaImage ref;
    if (!read_png(png, &ref)) return -2;
    HBITMAP section = MakeDIBSection((char *)bmp.c_str());
    if (!section) return -1;
    Canvas canvas(ref.width, ref.height);
    fn_DrawBitmap(canvas.dc(), 0, 0, section);
    DeleteObject(section);
    std::array<int, 3> widths = channel_widths(bmp);
    long bad = 0;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            const uint8_t *want = ref.at(x, y);
            if (want[3] != 255) continue;
            uint32_t got = canvas.rgb(x, y), expected = platform_colour(want, widths);
            for (int shift : {16, 8, 0})
                if (std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) {
                    ++bad;
                    break;
                }
        }
    return bad;
}

bool compressed(const CorpusEntry &entry) {
    for (const char *word : {"RLE", "JPEG", "PNG", "HUFFMAN"})
        if (entry.facts.find(word) != std::string::npos) return true;
    return false;
}

TEST(BmpCorpus, GoodFilesShowTheirReferencePictures) {
    unsigned objects = gdi_objects();
    int checked = 0;
    for (const CorpusEntry &entry : read_bmp_corpus_index()) {
        if (entry.file[0] != 'g') continue;
        std::string path = corpus_path("bmp/" + entry.file);
        if (compressed(entry)) {
            EXPECT_EQ(MakeDIBSection((char *)path.c_str()), (HBITMAP)NULL) << entry.file << ": a DIB section holds no RLE";
            continue;
        }
        EXPECT_EQ(mismatches_with_reference(path, corpus_path("bmp/ref/" + entry.reference), 0), 0) << entry.file;
        ++checked;
    }
    EXPECT_EQ(checked, 25);
    EXPECT_EQ(gdi_objects(), objects);
}

// Questionable and bad files must load within bounds or be rejected; which ones load is printed.
TEST(BmpCorpus, OtherFilesLoadWithinBoundsOrAreRejected) {
    Canvas canvas(256, 256);
    unsigned objects = gdi_objects();
    for (const CorpusEntry &entry : read_bmp_corpus_index()) {
        if (entry.file[0] == 'g') continue;
        std::string path = corpus_path("bmp/" + entry.file);
        HBITMAP section = MakeDIBSection((char *)path.c_str());
        fn_DrawBitmap(canvas.dc(), 0, 0, section);
        std::string verdict = section ? "loads" : "rejected";
        if (section && !entry.reference.empty()) {
            DeleteObject(section);
            long bad = mismatches_with_reference(path, corpus_path("bmp/ref/" + entry.reference), 1);
            verdict += bad == 0 ? ", matches " + entry.reference : ", differs from " + entry.reference;
        } else if (section) {
            DeleteObject(section);
        }
        std::cout << "  " << entry.file << " (" << entry.verdict << "): " << verdict << "\n";
        // A colour count beyond what the bit count allows is clamped, as for q/pal8oversizepal, so
        // b/badpalettesize loads with its 256 stored colours; every other bad header is refused.
        if (platform_verdict(entry) == "REJECT" && entry.file != "b/badpalettesize.bmp") {
            EXPECT_EQ(verdict, "rejected") << entry.file;
        }
    }
    EXPECT_EQ(gdi_objects(), objects);
}

class CraftedBmp : public testing::Test {
protected:
    // A 24-bit bottom-up 3 x 2 picture with a 40-byte header.
    static std::string picture(uint32_t off_bits = 54, uint32_t file_size = 54 + 24, std::string gap = "") {
        std::string bytes(54, '\0');
        auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
        auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put32(2, file_size);
        put32(10, off_bits);
        put32(14, 40);
        put32(18, 3);
        put32(22, 2);
        put16(26, 1);
        put16(28, 24);
        bytes += gap;
        // Bottom row blue, top row red; each row padded to 12 bytes.
        std::string bottom = std::string("\xff\0\0\xff\0\0\xff\0\0\0\0\0", 12);
        std::string top = std::string("\0\0\xff\0\0\xff\0\0\xff\0\0\0", 12);
        return bytes + bottom + top;
    }
    HBITMAP load(const std::string &bytes) {
        workspace.write("x.bmp", bytes);
        return MakeDIBSection((char *)workspace.path("x.bmp").c_str());
    }
    Workspace workspace{false};
};

TEST_F(CraftedBmp, GapBeforeThePixelsIsSkipped) {
    HBITMAP section = load(picture(54 + 7, 54 + 7 + 24, std::string(7, '\x55')));
    ASSERT_NE(section, (HBITMAP)NULL);
    Canvas canvas(3, 2);
    fn_DrawBitmap(canvas.dc(), 5, 9, section);  // the position arguments are not used
    EXPECT_EQ(canvas.rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.rgb(2, 1), 0x0000FFu);
    DeleteObject(section);
}

TEST_F(CraftedBmp, DeclaredSizesBeyondTheSectionAreClamped) {
    for (uint32_t file_size : {0u, 10u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        HBITMAP section = load(picture(54, file_size) + std::string(4096, '\x11'));
        ASSERT_NE(section, (HBITMAP)NULL) << file_size;
        Canvas canvas(3, 2);
        fn_DrawBitmap(canvas.dc(), 0, 0, section);
        EXPECT_EQ(canvas.rgb(1, 0), 0xFF0000u) << file_size;
        DeleteObject(section);
    }
}

TEST_F(CraftedBmp, ShortPixelDataLeavesTheRestBlack) {
    std::string bytes = picture();
    HBITMAP section = load(bytes.substr(0, 54 + 12));
    ASSERT_NE(section, (HBITMAP)NULL);
    Canvas canvas(3, 2);
    fn_DrawBitmap(canvas.dc(), 0, 0, section);
    EXPECT_EQ(canvas.rgb(0, 1), 0x0000FFu);
    EXPECT_EQ(canvas.rgb(0, 0), 0u);
    DeleteObject(section);
}

TEST_F(CraftedBmp, BrokenHeadersAreRejected) {
    std::string tiny_info = picture(14 + 8);
    std::string past_end = picture(5000);
    std::string header_too_big = picture();
    uint32_t big = 200;
    std::memcpy(&header_too_big[14], &big, 4);
    std::string huge = picture();
    int32_t side = 1 << 30;
    std::memcpy(&huge[18], &side, 4);
    std::memcpy(&huge[22], &side, 4);
    unsigned objects = gdi_objects();
    for (const std::string &bytes : {tiny_info, past_end, header_too_big, huge, std::string("BM"), std::string()})
        EXPECT_EQ(load(bytes), (HBITMAP)NULL);
    EXPECT_EQ(MakeDIBSection((char *)"/nonexistent/testA.bmp"), (HBITMAP)NULL);
    EXPECT_EQ(gdi_objects(), objects);
}

TEST(DrawBitmap, NullOrForeignHandlesDrawNothing) {
    Canvas canvas(4, 4);
    unsigned objects = gdi_objects();
    fn_DrawBitmap(canvas.dc(), 0, 0, NULL);
    fn_DrawBitmap(canvas.dc(), 0, 0, (HBITMAP)canvas.dc());
    EXPECT_EQ(canvas.rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(gdi_objects(), objects);
}

// The sample "testA.bmp" decoded by hand: 24-bit bottom-up rows, top-left pixel first.
uint32_t sample_pixel(const std::string &bmp, int x, int y, int width, int height) {
    uint32_t off;
    std::memcpy(&off, &bmp[10], 4);
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    const unsigned char *p = (const unsigned char *)bmp.data() + off + stride * (height - 1 - y) + 3 * x;
    return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

TEST(BitmapRun, ModeNineShowsTheBitmapAtTheTopLeftAndDumpsTheWindow) {
    Workspace workspace;
    RunResult run = workspace.keys("9 Shift", {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    RgbaImage shot;
    ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
    std::string bmp = workspace.read("testA.bmp");
    for (int y = 0; y < 1024; y += 7)
        for (int x = 0; x < 1280; x += 5) {
            uint32_t want = (x < 400 && y < 300) ? sample_pixel(bmp, x, y, 400, 300) : 0xFFFFFFu;
            ASSERT_EQ(rgb_of(shot.at(x, y)), want) << x << "," << y;
        }
    DumpFile dump(workspace.read("test9.txt"));
    ASSERT_EQ(dump.size(), 13107200u);
    EXPECT_EQ(dump.rgb(0, 0), sample_pixel(bmp, 0, 0, 400, 300));
    EXPECT_EQ(dump.rgb(299, 399), sample_pixel(bmp, 399, 299, 400, 300));
    EXPECT_EQ(dump.rgb(300, 0), 0xFFFFFFu);
}

// A 16-bit "testA.bmp" with headers of several sizes: its pixel 0x7C63 is 31 and twice 3, which
// expand to 255 and 24; the core header holds red in the top five bits, the others have masks
// that put red in the low five; a 16-byte header is refused and leaves the window white.
TEST(BitmapRun, ModeNineShowsSixteenBitBitmapsWithTheirHeaderSizes) {
    const struct {
        DWORD header_size;
        uint32_t rgb;
    } cases[] = {{12, 0xFF1818}, {16, 0xFFFFFF}, {40, 0x1818FF}, {64, 0x1818FF}, {66, 0x1818FF}};
    for (const auto &c : cases) {
        Workspace workspace(false);
        workspace.write("testA.bmp", sized_header_file(c.header_size, 0x7C63));
        RunResult run = workspace.keys("9");
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(DumpFile(workspace.read("test9.txt")).rgb(0, 0), c.rgb) << c.header_size;
    }
}

TEST(BitmapRun, ModeNineWithoutTheBitmapStillGrabs) {
    Workspace workspace(false);
    RunResult run = workspace.keys("9");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    DumpFile dump(workspace.read("test9.txt"));
    ASSERT_EQ(dump.size(), 13107200u);
    EXPECT_EQ(dump.rgb(0, 0), 0xFFFFFFu);
}

// The pattern renderer on a test window: bottom-up rows, so memory row r is window row h-1-r.
class Pattern : public testing::Test {
protected:
    void TearDown() override {
        key_num = 0;
        g_val1 = g_val2 = g_val3 = g_val4 = 0;
        rwsize = 0;
    }
    uint32_t at_memory(int r, int c) const { return window.rgb(c, window.height() - 1 - r); }
    TestWindow window{130, 120};
};

TEST_F(Pattern, EachModeDrawsThePatternOfItsDigit) {
    struct Expect {
        int mode, r, c;
        uint32_t rgb;
    } cases[] = {
        {2, 116, 0, 0xFE212C},  {2, 117, 0, 0x00212C}, {3, 78, 5, 0x00212C},   {4, 3, 10, 0x1C2B2C},
        {5, 0, 111, 0x16FF2C}, {5, 0, 112, 0x16012C}, {6, 10, 0, 0x2A2136},   {7, 0, 10, 0x163536},
        {1, 50, 50, 0x16212C},
    };
    for (const Expect &e : cases) {
        key_num = (signed char)e.mode;
        std::string out = capture_stdout([&] { fn_draw(window.hwnd(), window.dc()); });
        EXPECT_EQ(out, "size1 47040 \n");
        EXPECT_EQ(rwsize, 392);
        EXPECT_EQ(at_memory(e.r, e.c), e.rgb) << "mode " << e.mode << " row " << e.r << " column " << e.c;
    }
}

TEST_F(Pattern, ModesWithoutAPatternShowTheFreshSection) {
    for (int mode : {0}) {
        key_num = (signed char)mode;
        capture_stdout([&] { fn_draw(window.hwnd(), window.dc()); });
        EXPECT_EQ(at_memory(5, 5), 0u) << mode;
    }
}

TEST_F(Pattern, OffsetsMoveAndStretchThePicture) {
    key_num = 9;
    capture_stdout([&] { fn_draw(window.hwnd(), window.dc()); });
    uint32_t origin = window.rgb(0, 0);
    SetPixel(window.dc(), 0, 0, RGB(1, 2, 3));
    g_val1 = 10;
    capture_stdout([&] { fn_draw(window.hwnd(), window.dc()); });
    EXPECT_EQ(window.rgb(10, 10), origin) << "the destination moved by (10, 10)";
    EXPECT_EQ(window.rgb(0, 0), 0x010203u) << "pixels left of the destination are untouched";
    g_val1 = 0;
    g_val2 = 120;  // nearly twice the size: source pixel (0, 0) covers a 2 x 2 block
    capture_stdout([&] { fn_draw(window.hwnd(), window.dc()); });
    EXPECT_EQ(window.rgb(0, 0), window.rgb(1, 1));
}

TEST_F(Pattern, EmptyClientAreaDrawsNothing) {
    TestWindow empty(0, 0);
    key_num = 5;
    unsigned objects = gdi_objects();
    std::string out = capture_stdout([&] { fn_draw(empty.hwnd(), empty.dc()); });
    EXPECT_EQ(out, "size1 0 \n");
    EXPECT_EQ(rwsize, 0);
    EXPECT_EQ(gdi_objects(), objects);
}

TEST(PatternRun, ModeFiveShowsItsPatternAndROffsetsIt) {
    Workspace workspace;
    RunResult run = workspace.keys("5 R", {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "key 53\nkey_num 5\nsize1 3932160 \nkey 82\nkey_num 5\nsize1 3932160 \n");
    RgbaImage shot;
    ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
    EXPECT_EQ(rgb_of(shot.at(5, 5)), 0xFFFFFFu) << "above and left of the moved picture: background";
    // Bottom memory row (r 0) lands on window row 1023 + 10, outside; row r lands on 1033 - r.
    int r = 100, c = 7;
    uint32_t want = (uint32_t((2 * r + 22) & 0xFF) << 16) | (uint32_t((2 * c + 33) & 0xFF) << 8) | 44;
    EXPECT_EQ(rgb_of(shot.at(c + 10, 1033 - r)), want);
}

}  // namespace
