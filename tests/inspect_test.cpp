// gdibench-inspect: its readers against the bench's own writers, its figures against known
// differences, its refusals at the byte of the fault, and the tool itself on a real run's outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "capture/capture.h"
#include "compare.h"
#include "compare_files.h"
#include "heat_map.h"
#include "png_writer.h"
#include "raw_readers.h"
#include "read_picture.h"
#include "refusal.h"
#include "support/bench_run.h"
#include "support/png_image.h"
#include "support/test_window.h"

namespace {

using inspect::Format;
using inspect::Picture;

// 13 x 5 (odd, so raw rows carry a padding byte) holding 0, 7, 10, 32, 42 and 255 among others.
Picture known_picture(bool grey = false) {
    Picture picture(13, 5);
    for (size_t i = 0; i < picture.bgr.size(); ++i) picture.bgr[i] = uint8_t(i * 37 + i / 7);
    const uint8_t corner[6] = {0, 10, 32, 255, 7, 42};
    std::copy(corner, corner + 6, picture.bgr.begin());
    if (grey)
        for (size_t i = 0; i < picture.bgr.size(); i += 3) picture.bgr[i + 1] = picture.bgr[i + 2] = picture.bgr[i];
    return picture;
}

// The picture as 24-bit DIB rows (4-byte stride, zero padding), as new.bmp holds them.
std::string raw_rows(const Picture &picture) {
    size_t stride = inspect::row_stride24(picture.width);
    std::string rows(stride * size_t(picture.height), '\0');
    for (int y = 0; y < picture.height; ++y)
        std::copy(picture.at(0, y), picture.at(0, y) + 3 * picture.width, &rows[stride * size_t(y)]);
    return rows;
}

inspect::LoadedPicture read_back(const benchtest::Workspace &ws, const std::string &name, const Picture &like) {
    inspect::ReadRequest request;
    request.width = like.width;
    request.height = like.height;
    return inspect::read_picture(ws.path(name), request);
}

// fn_Log writes into the working directory.
void dump_with_program(const benchtest::Workspace &ws, int type, const Picture &picture, HDC hdc = NULL) {
    benchtest::WorkingDirectory here(ws.dir());
    std::string rows = raw_rows(picture);
    std::vector<unsigned char> bytes(rows.begin(), rows.end());
    if (type != 0 && type != 1 && type != 8 && type != 9) {  // one number a byte of a grey row
        bytes.clear();
        for (size_t i = 0; i < picture.bgr.size(); i += 3) bytes.push_back(picture.bgr[i]);
        rwsize = picture.width;
    }
    testing::internal::CaptureStdout();
    fn_Log(type, hdc, picture.width, picture.height, bytes.data(), bytes.size());
    testing::internal::GetCapturedStdout();
    rwsize = 0;
}

TEST(InspectRoundTrip, EveryDumpFormatAndRawRowsReadBackAsWritten) {
    struct Case {
        const char *file;
        bool grey;
        std::function<void(const benchtest::Workspace &, const Picture &)> write;
        Format format;
    };
    const Case cases[] = {
        {"test8.txt", false, [](auto &ws, auto &p) { dump_with_program(ws, 8, p); }, Format::ThreeNumberDump},
        {"test1.txt", false, [](auto &ws, auto &p) { dump_with_program(ws, 1, p); }, Format::ThreeNumberDump},
        {"test5.txt", true, [](auto &ws, auto &p) { dump_with_program(ws, 5, p); }, Format::OneNumberDump},
        {"new.bmp", false, [](auto &ws, auto &p) { ws.write("new.bmp", raw_rows(p)); }, Format::RawCapture},
        {"view.png", false, [](auto &ws, auto &p) { inspect::write_png(ws.path("view.png"), p); }, Format::Png},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        benchtest::Workspace ws(false);
        Picture picture = known_picture(c.grey);
        c.write(ws, picture);
        inspect::LoadedPicture loaded = read_back(ws, c.file, picture);
        EXPECT_EQ(loaded.format, c.format);
        EXPECT_EQ(loaded.picture.width, picture.width);
        EXPECT_EQ(loaded.picture.bgr, picture.bgr);
    }
}

TEST(InspectRoundTrip, DeviceDumpReadsTheWindowsPixels) {
    benchtest::Workspace ws(false);
    benchtest::TestWindow window(40, 30);
    window.paint_pattern();
    Picture expected(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            uint32_t rgb = window.rgb(x, y);
            uint8_t *p = &expected.bgr[(size_t(y) * 40 + x) * 3];
            p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
        }
    dump_with_program(ws, 0, expected, window.dc());
    inspect::LoadedPicture loaded = read_back(ws, "test0.txt", expected);
    EXPECT_EQ(loaded.format, Format::DeviceDump);
    EXPECT_EQ(loaded.picture.bgr, expected.bgr);
}

TEST(InspectCompare, KnownDifferencesGiveExactFigures) {
    struct Case {
        const char *name;
        std::function<void(Picture &)> change;
        int tolerance;
        uint64_t differing;
        int max[3];
        uint64_t histogram[inspect::kHistogramBands];
        double psnr;  // 0 for infinite
        int box[4];   // left, top, right, bottom of the differing pixels
    };
    auto pixel = [](Picture &p, int x, int y) { return &p.bgr[(size_t(y) * p.width + x) * 3]; };
    const Case cases[] = {
        {"identical", [](Picture &) {}, 0, 0, {0, 0, 0}, {128}, 0, {0, 0, -1, -1}},
        {"one pixel", [&](Picture &p) { pixel(p, 3, 2)[2] += 20; }, 0, 1, {0, 0, 20},
         {127, 0, 0, 0, 0, 0, 1}, 47.9535, {3, 2, 3, 2}},
        {"a band", [&](Picture &p) { for (int x = 0; x < 16; ++x) pixel(p, x, 5)[0] += 3; }, 0, 16, {3, 0, 0},
         {112, 0, 0, 16}, 10 * std::log10(65025.0 * 384 / (16 * 9)), {0, 5, 15, 5}},
        {"constant offset", [](Picture &p) { for (uint8_t &v : p.bgr) v += 1; }, 0, 128, {1, 1, 1},
         {0, 128}, 48.1308, {0, 0, 15, 7}},
        {"offset within tolerance", [](Picture &p) { for (uint8_t &v : p.bgr) v += 1; }, 1, 0, {1, 1, 1},
         {0, 128}, 48.1308, {0, 0, -1, -1}},
        {"band over 15", [&](Picture &p) { for (int y = 0; y < 8; ++y) pixel(p, 7, y)[1] += 100; }, 4, 8,
         {0, 100, 0}, {120, 0, 0, 0, 0, 0, 8}, 10 * std::log10(65025.0 * 384 / 80000), {7, 0, 7, 7}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Picture a(16, 8);
        for (size_t i = 0; i < a.bgr.size(); ++i) a.bgr[i] = uint8_t(100 + i % 50);
        Picture b = a;
        c.change(b);
        inspect::Comparison cmp = inspect::compare(a, b, c.tolerance);
        EXPECT_EQ(cmp.differing, c.differing);
        EXPECT_EQ(cmp.equal(), c.differing == 0);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(cmp.max_difference[k], c.max[k]) << "channel " << k;
        for (int band = 0; band < inspect::kHistogramBands; ++band)
            EXPECT_EQ(cmp.histogram[band], c.histogram[band]) << "band " << inspect::histogram_band_name(band);
        if (c.psnr == 0)
            EXPECT_TRUE(std::isinf(cmp.psnr_db));
        else
            EXPECT_NEAR(cmp.psnr_db, c.psnr, 1e-3);
        EXPECT_EQ((std::vector<int>{cmp.left, cmp.top, cmp.right, cmp.bottom}),
                  (std::vector<int>{c.box[0], c.box[1], c.box[2], c.box[3]}));
        if (c.differing) {
            EXPECT_EQ((std::vector<int>{cmp.first_x, cmp.first_y}), (std::vector<int>{c.box[0], c.box[1]}));
        }
    }
    EXPECT_FALSE(inspect::compare(Picture(2, 3), Picture(3, 2), 0).equal());  // a size mismatch differs
}

TEST(InspectRefusal, MalformedFilesAreRefusedAtTheFaultyByte) {
    // A 2 x 1 three-number dump: "  0 10 32 " then "255  7 42 ".
    const std::string dump = "  0 10 32 255  7 42 ";
    struct Case {
        const char *name;
        std::string bytes;
        const char *size;
        std::optional<Format> format;
        int64_t offset;
        const char *expected;
    };
    const Case cases[] = {
        {"a non-digit", "  0 1x 32 255  7 42 ", "2x1", {}, 5, "a digit"},
        {"a value over 255", "  0 10 32 256  7 42 ", "2x1", {}, 10, "a number of at most 255"},
        {"a leading zero", "  0 10 32 255 07 42 ", "2x1", {}, 14, "no leading zero"},
        {"a missing separator", "  0 10 32x255  7 42 ", "2x1", {}, 9, "a space"},
        {"a stray byte inside", "  0 10 32 2557  7 42 ", "2x1", {}, 14, "a digit"},
        {"a stray byte at the end", dump + "1", "2x1", {}, 20, "then the end of the file"},
        {"a short file", dump.substr(0, 17), "2x1", {}, 17, "ends early"},
        {"a short file, fault first", "  0 10 3x 255", "2x1", {}, 8, "a digit"},
        {"the default size", dump, nullptr, {}, 20, "13107200 bytes"},
        {"a one-number dump", "  0   1x  2 ", "3x1", Format::OneNumberDump, 7, "a space"},
        {"raw padding", std::string("\1\2\3\0\4\5\6\0", 8).replace(7, 1, "\x9", 1), "1x2", Format::RawCapture, 7,
         "a padding byte of 0"},
        {"a device dump", std::string("\1\2\3 \4\5\6x", 8), "2x1", Format::DeviceDump, 7, "a space"},
        {"no format", "hello", nullptr, {}, -1, "a three-number or one-number dump"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        benchtest::Workspace ws(false);
        ws.write("in.txt", c.bytes);
        inspect::ReadRequest request;
        if (c.size) request.width = c.size[0] - '0', request.height = c.size[2] - '0';
        request.format = c.format;
        try {
            inspect::read_picture(ws.path("in.txt"), request);
            ADD_FAILURE() << "accepted";
        } catch (const inspect::Refusal &refusal) {
            EXPECT_EQ(refusal.offset, c.offset) << refusal.message();
            EXPECT_NE(refusal.message().find(c.expected), std::string::npos) << refusal.message();
            EXPECT_EQ(refusal.message().find(ws.path("in.txt")), 0u) << refusal.message();
        }
    }
}

// Files of more pixels than a band holds, whose bands end inside rows (and, for the raw capture of
// an odd width, beside its padding), read whole and compared side by side; B's one changed pixel
// lies in the last band.
TEST(InspectBands, FilesOfManyBandsReadAndCompareAsWhole) {
    benchtest::Workspace ws(false);
    Picture picture(1001, 1200);
    for (size_t i = 0; i < picture.bgr.size(); ++i) picture.bgr[i] = uint8_t(i * 7 + i / 3003);
    Picture changed = picture;
    changed.bgr[(size_t(1150) * 1001 + 999) * 3 + 1] ^= 0x20;
    struct Case {
        const char *a, *b;
        std::function<void()> write;
    };
    const Case cases[] = {
        {"a.raw", "b.raw", [&] { ws.write("a.raw", raw_rows(picture)), ws.write("b.raw", raw_rows(changed)); }},
        {"test8.txt", "b.raw", [&] { dump_with_program(ws, 8, picture); }},
        {"a.txt", "test8.txt", [&] { ws.write("a.txt", ws.read("test8.txt")), dump_with_program(ws, 8, changed); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        c.write();
        inspect::LoadedPicture a, b;
        inspect::read_both(ws.path(c.a), ws.path(c.b), inspect::ReadRequest{1001, 1200, {}}, &a, &b);
        EXPECT_EQ(a.picture.bgr, picture.bgr);
        EXPECT_EQ(b.picture.bgr, changed.bgr);
        inspect::FileComparison files = inspect::compare_files(ws.path(c.a), ws.path(c.b), {1001, 1200, {}}, 0, true);
        const inspect::Comparison &cmp = files.comparison;
        EXPECT_EQ(cmp.differing, 1u);
        Picture heat(1001, 1200);
        inspect::paint_heat_map(picture.bgr.data(), changed.bgr.data(), picture.pixels(), 0, heat.bgr.data());
        EXPECT_EQ(files.heat_map.bgr, heat.bgr);
        EXPECT_EQ((std::vector<int>{cmp.first_x, cmp.first_y, cmp.first_b[1] ^ cmp.first_a[1]}),
                  (std::vector<int>{999, 1150, 0x20}));
    }
}

TEST(InspectDumpPair, TwoDumpsReadTogetherGiveEachTheirPixelsOrTheFirstFileFault) {
    // 40 x 30 elements: more than one chunk of elements in each half of the files.
    benchtest::Workspace ws(false);
    Picture picture(40, 30);
    for (size_t i = 0; i < picture.bgr.size(); ++i) picture.bgr[i] = uint8_t(i * 13 + i / 40);
    dump_with_program(ws, 8, picture);
    const std::string dump = ws.read("test8.txt");
    auto with = [&](size_t offset, const char *bytes) { return std::string(dump).replace(offset, 3, bytes); };
    struct Case {
        const char *name;
        std::string a, b;
        int changed;            // element whose pixel B changes, or -1
        const char *refused;    // "a.txt" or "b.txt", or nullptr
        int64_t offset;
    };
    const Case cases[] = {
        {"identical", dump, dump, -1, nullptr, 0},
        {"one element of B", dump, with(10 * 1000 + 3, "  7"), 1000, nullptr, 0},
        {"a fault in B", dump, with(10 * 900 + 6, "2x5"), -1, "b.txt", 10 * 900 + 7},
        {"A's fault after B's", with(10 * 1100, "999"), with(10 * 10, " x "), -1, "a.txt", 10 * 1100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ws.write("a.txt", c.a);
        ws.write("b.txt", c.b);
        inspect::ReadRequest request;
        request.width = 40;
        request.height = 30;
        inspect::LoadedPicture a, b;
        try {
            inspect::read_both(ws.path("a.txt"), ws.path("b.txt"), request, &a, &b);
            EXPECT_EQ(c.refused, nullptr);
        } catch (const inspect::Refusal &refusal) {
            ASSERT_NE(c.refused, nullptr) << refusal.message();
            EXPECT_EQ(refusal.file, ws.path(c.refused));
            EXPECT_EQ(refusal.offset, c.offset);
            continue;
        }
        EXPECT_EQ(a.picture.bgr, picture.bgr);
        Picture expected = picture;
        if (c.changed >= 0) expected.bgr[size_t(c.changed) * 3 + 1] = 7;
        EXPECT_EQ(b.picture.bgr, expected.bgr);
    }
}

// The tool as a user runs it, on the outputs of a real headless run of the bench.
class InspectTool : public testing::Test {
protected:
    static void SetUpTestSuite() {
        run_ = new benchtest::Workspace();
        ASSERT_EQ(run_->keys("1 8 9 Esc").exit_code, 0);
    }
    static void TearDownTestSuite() { delete run_; }
    benchtest::RunResult inspect(const std::vector<std::string> &args) const {
        std::vector<std::string> argv = {INSPECT_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        return benchtest::run_command(benchtest::Command(argv, run_->dir()), 60);
    }
    // new.bmp with one pixel's red byte changed, as "changed.bmp".
    void change_pixel(int x, int y) const {
        std::string bytes = run_->read("new.bmp");
        bytes[size_t(y) * 3840 + size_t(x) * 3 + 2] ^= 0x40;
        run_->write("changed.bmp", bytes);
    }
    static benchtest::Workspace *run_;
};
benchtest::Workspace *InspectTool::run_ = nullptr;

TEST_F(InspectTool, TheDumpHoldsTheCapturesPixelsAndOneChangedPixelIsNamed) {
    benchtest::RunResult same = inspect({"compare", "test8.txt", "new.bmp"});
    EXPECT_EQ(same.exit_code, 0) << same.out << same.err;
    EXPECT_NE(same.out.find("PSNR infinite"), std::string::npos) << same.out;
    change_pixel(100, 200);
    benchtest::RunResult changed = inspect({"compare", "test8.txt", "changed.bmp"});
    EXPECT_EQ(changed.exit_code, 1) << changed.err;
    EXPECT_NE(changed.out.find("differing pixels 1 of 1310720"), std::string::npos) << changed.out;
    EXPECT_NE(changed.out.find("first differing pixel x 100, y 200"), std::string::npos) << changed.out;
    benchtest::RunResult json = inspect({"compare", "test8.txt", "changed.bmp", "--json"});
    EXPECT_EQ(json.exit_code, 1);
    EXPECT_NE(json.out.find("\"differing\":1,"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"first\":{\"x\":100,\"y\":200,"), std::string::npos) << json.out;
}

TEST_F(InspectTool, PngViewsShowThePixelsAndTheHeatMapMarksTheChange) {
    ASSERT_EQ(inspect({"test9.txt", "--png", "test9.png"}).exit_code, 0);
    ASSERT_EQ(inspect({"compare", "test9.txt", "test9.png"}).exit_code, 0);
    change_pixel(7, 3);
    EXPECT_EQ(inspect({"compare", "new.bmp", "changed.bmp", "--diff-png", "diff.png"}).exit_code, 1);
    benchtest::RgbaImage heat;
    ASSERT_TRUE(benchtest::read_png(run_->path("diff.png"), &heat));
    ASSERT_EQ(heat.width, 1280);
    const uint8_t *marked = heat.at(7, 3), *plain = heat.at(8, 3);
    EXPECT_EQ((std::vector<int>{marked[0], marked[1], marked[2]}), (std::vector<int>{255, 0, 0}));
    EXPECT_TRUE(plain[0] == plain[1] && plain[1] == plain[2]) << "grey elsewhere";
}

TEST_F(InspectTool, DescribesWhatItRecognisedAndRefusesWithExitCodeTwo) {
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        const char *text;  // in stdout, or in stderr for exit code 2
    };
    run_->write("short.txt", run_->read("test8.txt").substr(0, 12345));
    run_->write("short.bmp", run_->read("new.bmp").substr(0, 3932159));
    run_->write("cut.jpg", run_->read("testC.jpg").substr(0, 1000));
    run_->write("n\xffm\xc3\xa9.txt", "  1  2  3 ");
    const Case cases[] = {
        {{"test8.txt"}, 0, "test8.txt: three-number dump (dump types 1, 8, 9), 1280 x 1024 pixels"},
        {{"new.bmp"}, 0, "new.bmp: raw capture"},
        {{"testC.jpg"}, 0, "testC.jpg: JPEG, 1280 x 1024"},
        {{"testA.bmp", "--json"}, 0, "\"format\":\"BMP\""},
        {{"compare", "testA.bmp", "test8.txt", "--diff-png", "d.png"}, 1, "different: the sizes differ"},
        {{"short.txt"}, 2, "short.txt: expected 13107200 bytes (1280 x 1024 elements of 10), but the file ends "
                           "early; first fault at byte offset 12345"},
        {{"missing.txt"}, 2, "missing.txt: expected a readable file"},
        {{"compare", "test8.txt"}, 2, "compare takes two files"},
        {{"test8.txt", "--size", "0x5"}, 2, "--size takes a number"},
        {{"short.bmp"}, 2, "short.bmp: 3932159 bytes, expected 3932160 for 1280x1024 (3 bytes a pixel) of a raw"},
        {{"short.bmp"}, 2, "device dump, BMP, JPEG or PNG\n"},  // a length has no place: no fault offset
        {{"new.bmp", "--size", "1280x1023"}, 2, "new.bmp: 3932160 bytes, expected 3928320 for 1280x1023 (3 bytes a"},
        {{"cut.jpg"}, 2, "cut.jpg: expected a JPEG file its decoder accepts; its decoder says: Premature end of JPEG"},
        {{"test8.txt", "--size", "12x"}, 2, "for each of W and H in WxH, not \"12x\""},
        {{"test8.txt", "--png", ""}, 2, "--png takes a file name, not \"\""},
        {{"compare", "test8.txt", "new.bmp", "--diff-png", ""}, 2, "--diff-png takes a file name, not \"\""},
        {{"n\xffm\xc3\xa9.txt", "--size", "1x1", "--json"}, 0, "{\"file\":\"n\\u00ffm\xc3\xa9.txt\","},
        {{"--help"}, 0, "Usage: gdibench-inspect"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args[0]);
        benchtest::RunResult result = inspect(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
        const std::string &where = c.exit_code == 2 ? result.err : result.out;
        EXPECT_NE(where.find(c.text), std::string::npos) << where;
    }
}

}  // namespace
