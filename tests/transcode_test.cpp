// JPEG transcoding through a memory stream: "testC.jpg" from the running bench, the failure
// boxes driven by fault injection, and the encoder lookup.
#include <gtest/gtest.h>
#include <gdiplus.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "support/bench_run.h"
#include "support/claimed_size.h"
#include "support/file_size_limit.h"
#include "support/png_image.h"
#include "support/test_window.h"
#include "transcode/transcode.h"

using namespace benchtest;

namespace {

struct JpegFacts {
    bool ok = false;
    int width = 0, height = 0;
    bool quality_100 = false;  // every used quantisation table is all ones
};

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

// Decodes the header and tables of a JPEG with libjpeg directly.
JpegFacts inspect_jpeg(const std::string &bytes) {
    JpegFacts facts;
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr common) { longjmp(((JpegError *)common->err)->jump, 1); };
    jpeg_create_decompress(&info);
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegFacts{};
    }
    jpeg_mem_src(&info, (const unsigned char *)bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    facts.width = int(info.image_width);
    facts.height = int(info.image_height);
    facts.quality_100 = true;
    for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
        if (!info.quant_tbl_ptrs[t]) continue;
        for (int k = 0; k < DCTSIZE2; ++k) facts.quality_100 &= info.quant_tbl_ptrs[t]->quantval[k] == 1;
    }
    facts.ok = true;
    jpeg_destroy_decompress(&info);
    return facts;
}

// Decodes a JPEG to RGB with libjpeg's default settings.
std::vector<uint8_t> decode_rgb(const std::string &bytes, int *width, int *height) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr common) { longjmp(((JpegError *)common->err)->jump, 1); };
    jpeg_create_decompress(&info);
    std::vector<uint8_t> rgb;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_mem_src(&info, (const unsigned char *)bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = int(info.output_width);
    *height = int(info.output_height);
    rgb.resize(size_t(*width) * *height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[size_t(info.output_scanline) * *width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return rgb;
}

TEST(TranscodeRun, ModeEightWritesAQuality100JpegOfTheSourceAndDrawsIt) {
    Workspace workspace;
    RunResult run = workspace.keys("8", {}, {"--screenshot", "shot.png"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    JpegFacts facts = inspect_jpeg(workspace.read("testC.jpg"));
    ASSERT_TRUE(facts.ok);
    EXPECT_EQ(facts.width, 1280);
    EXPECT_EQ(facts.height, 1024);
    EXPECT_TRUE(facts.quality_100);
    EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{});
    RgbaImage shot;
    ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
    int width = 0, height = 0;
    std::vector<uint8_t> source = decode_rgb(workspace.read("123A.jpg"), &width, &height);
    ASSERT_EQ(width, 1280);
    ASSERT_EQ(height, 1024);
    for (int y = 0; y < 1024; y += 3)
        for (int x = 0; x < 1280; x += 3)
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(shot.at(x, y)[k], source[(size_t(y) * 1280 + x) * 3 + k], 1) << "the source at " << x << "," << y;
}

TEST(TranscodeRun, EveryCallRewritesTheWholeFile) {
    Workspace workspace;
    workspace.keys("8");
    std::string once = workspace.read("testC.jpg");
    workspace.write("testC.jpg", std::string(5 << 20, 'x'));
    workspace.keys("8 Shift 1");
    EXPECT_EQ(workspace.read("testC.jpg"), once);
}

// The peak memory BENCH_REPORT gives at the end of a run, in kB, or -1.
long peak_kb(const RunResult &run) {
    long objects = 0, peak = -1;
    size_t at = run.err.rfind("gdibench: ");
    if (at == std::string::npos ||
        std::sscanf(run.err.c_str() + at, "gdibench: %ld GDI objects left; peak memory %ld kB", &objects, &peak) != 2)
        return -1;
    return peak;
}

// A file claiming a huge picture costs what its data holds: within 32 MB of a run whose input
// is no picture at all, whether the claim is over 31 bits of rows or within them.
TEST(TranscodeRun, FilesClaimingHugePicturesCostWhatTheirDataHolds) {
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"a 65000 x 65000 JPEG", jpeg_claiming(65000, 65000)},
        {"a 16384 x 16384 JPEG", jpeg_claiming(16384, 16384)},
        {"a 20000 x 20000 PNG", png_claiming(20000, 20000)},
    };
    const Env report = {{"BENCH_REPORT", "1"}, {"ASAN_OPTIONS", "quarantine_size_mb=0"}};
    Workspace workspace;
    workspace.write("123A.jpg", "no picture");
    long base = peak_kb(workspace.keys("1", report));
    ASSERT_GT(base, 0);
    for (const auto &c : cases) {
        workspace.write("123A.jpg", c.bytes);
        RunResult run = workspace.keys("1", report);
        EXPECT_EQ(run.exit_code, 0) << c.what;
        EXPECT_NE(run.err.find("Failed to save to stream!"), std::string::npos) << c.what << ": " << run.err;
        long peak = peak_kb(run);
        EXPECT_GT(peak, 0) << c.what;
        EXPECT_LT(peak - base, 32 * 1024) << c.what << ": " << peak << " kB against " << base << " kB";
    }
}

struct Failure {
    const char *faults;     // BENCH_FAULTS, or "" for a failure arranged in the directory
    const char *message;    // the box text, or "" for none
};

class TranscodeFailure : public testing::Test {
protected:
    // Runs mode 8 once with "testC.jpg" already present; checks it survives and nothing is drawn.
    void expect_failure(const Failure &failure) {
        workspace.write("testC.jpg", "previous");
        Env env;
        if (*failure.faults) env.push_back({"BENCH_FAULTS", failure.faults});
        RunResult run = workspace.keys("8", env, {"--screenshot", "shot.png"});
        EXPECT_EQ(run.exit_code, 0);
        if (*failure.message)
            EXPECT_NE(run.err.find(failure.message), std::string::npos) << run.err;
        else
            EXPECT_EQ(run.err, "");
        EXPECT_EQ(workspace.read("testC.jpg"), "previous") << failure.faults;
        EXPECT_EQ(workspace.temporaries(), std::vector<std::string>{}) << failure.faults;
        RgbaImage shot;
        ASSERT_TRUE(read_png(workspace.path("shot.png"), &shot));
        for (int y = 0; y < 1024; y += 31)
            for (int x = 0; x < 1280; x += 29)
                ASSERT_EQ(shot.at(x, y)[0] & shot.at(x, y)[1] & shot.at(x, y)[2], 255) << "nothing drawn at " << x << "," << y;
    }
    Workspace workspace;
};

TEST_F(TranscodeFailure, EachStreamFaultShowsItsBox) {
    const Failure failures[] = {
        {"CreateStreamOnHGlobal", "Failed to create stream on global memory!"},
        {"GdipSaveImageToStream", "Failed to save to stream!"},
        {"GdipGetImageEncoders", "Failed to save to stream!"},
        {"IStream::SeekEnd", "Failed to get the size of the stream"},
        {"IStream::SeekSet", "Failed to smove the file pointer to the beginning of the stream!"},
        {"IStream::Read", ""},
    };
    for (const Failure &failure : failures) expect_failure(failure);
}

TEST_F(TranscodeFailure, MissingInputIsAFailedSave) {
    unlink(workspace.path("123A.jpg").c_str());
    expect_failure({"", "Failed to save to stream!"});
}

TEST_F(TranscodeFailure, BadInputsAreFailedLoads) {
    const std::string truncated = workspace.read("123A.jpg").substr(0, 600);
    std::string huge = workspace.read("123A.jpg");
    // Claim 65000 x 65000 in the frame header (SOF0 height and width follow its length and precision).
    size_t sof = huge.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    huge.replace(sof + 5, 4, "\xfd\xe8\xfd\xe8");
    for (const std::string &bytes : {std::string(), truncated, std::string(4096, '\x42'), huge}) {
        workspace.write("123A.jpg", bytes);
        expect_failure({"", "Failed to save to stream!"});
    }
    unlink(workspace.path("123A.jpg").c_str());
    ASSERT_EQ(mkdir(workspace.path("123A.jpg").c_str(), 0700), 0);
    expect_failure({"", "Failed to save to stream!"});
}

TEST_F(TranscodeFailure, UnreplaceableOrUnwritableOutputIsADiskFailure) {
    ASSERT_EQ(mkdir(workspace.path("testC.jpg").c_str(), 0700), 0);
    RunResult run = workspace.keys("8");
    EXPECT_NE(run.err.find("Failed to save data to the disk!"), std::string::npos);
    EXPECT_EQ(workspace.files(), (std::vector<std::string>{"123A.jpg", "test8.txt", "testA.bmp", "testC.jpg"}))
        << "the folder stays, the temporary file goes";
    rmdir(workspace.path("testC.jpg").c_str());

    FileSizeLimit full(64 << 10);
    expect_failure({"", "Failed to save data to the disk!"});
}

// With BENCH_TRACE set, a codec's failure names the codec and its library's own words on stderr;
// the program still sees only the status, and shows its box either way.
TEST_F(TranscodeFailure, BenchTraceTellsTheCodecsReason) {
    struct Case {
        std::string input;   // as "123A.jpg"
        const char *faults;  // BENCH_FAULTS
        const char *trace;
    };
    const std::string jpeg = workspace.read("123A.jpg");
    const std::string png_bad_crc("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\0\0\0\0", 33);
    const Case cases[] = {
        {jpeg.substr(0, 600), "", "gdibench: GDI+ JPEG decoder failed with status 1: Premature end of JPEG file\n"},
        {png_bad_crc, "", "gdibench: GDI+ PNG decoder failed with status 1: IHDR: CRC error\n"},
        {"BM", "", "gdibench: GDI+ BMP decoder failed with status 1: the file is too short for its headers\n"},
        {jpeg, "IStream::Write",
         "gdibench: GDI+ JPEG encoder failed with status 7: Output file write error --- out of disk space?\n"},
    };
    for (const Case &c : cases) {
        workspace.write("123A.jpg", c.input);
        for (bool traced : {false, true}) {
            Env env;
            if (*c.faults) env.push_back({"BENCH_FAULTS", c.faults});
            if (traced) env.push_back({"BENCH_TRACE", "1"});
            RunResult run = workspace.keys("8", env);
            EXPECT_NE(run.err.find("Failed to save to stream!"), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find(c.trace) != std::string::npos, traced) << run.err;
        }
    }
}

// The routines called directly, on a test window.

class InWorkspace : public testing::Test {
protected:
    Workspace workspace;
    WorkingDirectory cwd{workspace.dir()};
};

using Transcode = InWorkspace;

TEST_F(Transcode, TheFileHoldsExactlyTheEncodedStream) {
    TestWindow window(64, 64);
    ASSERT_EQ(fn_JPG(window.dc()), 1);
    Gdiplus::Image image(L"123A.jpg");
    CLSID jpeg;
    ASSERT_EQ(GetEncoderClsid(L"image/jpeg", &jpeg), 1);
    ULONG quality = 100;
    Gdiplus::EncoderParameters params;
    params.Count = 1;
    params.Parameter[0] = {Gdiplus::EncoderQuality, 1, Gdiplus::EncoderParameterValueTypeLong, &quality};
    IStream *stream = NULL;
    ASSERT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), S_OK);
    ASSERT_EQ(image.Save(stream, &jpeg, &params), Gdiplus::Ok);
    STATSTG stat;
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    std::string encoded(size_t(stat.cbSize.QuadPart), '\0');
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, NULL);
    ULONG got = 0;
    stream->Read(&encoded[0], ULONG(encoded.size()), &got);
    stream->Release();
    EXPECT_EQ(workspace.read("testC.jpg"), encoded);
}

TEST_F(Transcode, ConvertTurnsTheBitmapIntoAJpegAndDrawsIt) {
    TestWindow window(500, 400);
    unsigned objects = gdi_objects();
    ASSERT_EQ(fnConvert(window.dc()), 1);
    JpegFacts facts = inspect_jpeg(workspace.read("testC.jpg"));
    EXPECT_EQ(facts.width, 400);
    EXPECT_EQ(facts.height, 300);
    EXPECT_TRUE(facts.quality_100);
    EXPECT_NE(window.rgb(10, 10), 0xFFFFFFu);
    EXPECT_EQ(window.rgb(450, 350), 0xFFFFFFu) << "drawn at its own size";
    EXPECT_EQ(gdi_objects(), objects);
}

TEST(EncoderLookup, ExactCaseSensitiveMatchesOnly) {
    CLSID clsid;
    memset(&clsid, 0xAB, sizeof(clsid));
    CLSID untouched = clsid;
    EXPECT_EQ(GetEncoderClsid(L"IMAGE/JPEG", &clsid), -1);
    EXPECT_EQ(GetEncoderClsid(L"image/jpe", &clsid), -1);
    EXPECT_EQ(GetEncoderClsid(L"image/jpeg; q=1", &clsid), -1);
    EXPECT_EQ(memcmp(&clsid, &untouched, sizeof(clsid)), 0);
    EXPECT_EQ(GetEncoderClsid(L"image/bmp", &clsid), 0);
    EXPECT_EQ(GetEncoderClsid(L"image/png", &clsid), 2);
    EXPECT_EQ(GetEncoderClsid(L"image/jpeg", &clsid), 1);
    EXPECT_EQ(clsid.Data1, 0x557CF401u);
}

}  // namespace
