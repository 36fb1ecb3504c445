// GDI+: start-up, the encoder list, loading JPEG/PNG/BMP files, saving to streams and drawing on
// device contexts, driven directly through gdiplus.h. Decoded pixels are read from the layer's
// image objects; encoded files are checked with libjpeg and libpng directly.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <jpeglib.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/faults.h"
#include "gdiplus/objects.h"
#include "support/bench_run.h"
#include "support/corpus_index.h"
#include "support/canvas.h"
#include "support/injected_faults.h"
#include "support/png_image.h"
#include "support/reference_pixels.h"

using namespace Gdiplus;
using benchtest::corpus_path;
using benchtest::Workspace;
using benchtest::Canvas;
using benchtest::InjectedFaults;

namespace {

// ---------------------------------------------------------------------------------------------
// Helpers


std::wstring wide(const std::string &text) { return std::wstring(text.begin(), text.end()); }

const CLSID kBmpEncoder = {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID kJpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// A fresh memory stream, released with the object.
class Stream {
public:
    Stream() { EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream_), S_OK); }
    ~Stream() { stream_->Release(); }
    IStream *get() const { return stream_; }
    std::string bytes() const {
        STATSTG stat;
        stream_->Stat(&stat, STATFLAG_NONAME);
        std::string out(size_t(stat.cbSize.QuadPart), '\0');
        LARGE_INTEGER start;
        start.QuadPart = 0;
        stream_->Seek(start, STREAM_SEEK_SET, NULL);
        ULONG got = 0;
        stream_->Read(&out[0], ULONG(out.size()), &got);
        out.resize(got);
        return out;
    }

private:
    IStream *stream_ = nullptr;
};

// One quality parameter, as the program fills it.
struct QualityParameter {
    explicit QualityParameter(ULONG value) : quality(value) {
        list.Count = 1;
        list.Parameter[0].Guid = EncoderQuality;
        list.Parameter[0].NumberOfValues = 1;
        list.Parameter[0].Type = EncoderParameterValueTypeLong;
        list.Parameter[0].Value = &quality;
    }
    ULONG quality;
    EncoderParameters list;
};

// An image loaded through the flat interface, with access to its decoded pixels.
class Loaded {
public:
    explicit Loaded(const std::wstring &path) { status = GdipLoadImageFromFile(path.c_str(), &image); }
    explicit Loaded(const std::string &path) : Loaded(wide(path)) {}
    ~Loaded() { GdipDisposeImage(image); }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;

    const gdiplus::Raster &raster() const { return *gdiplus::find_image(image); }
    uint32_t at(int x, int y) const { return raster().row(y)[x]; }
    std::string save(const CLSID &encoder, const EncoderParameters *params = NULL) const {
        Stream stream;
        EXPECT_EQ(GdipSaveImageToStream(image, stream.get(), &encoder, params), Ok);
        return stream.bytes();
    }

    GpImage *image = nullptr;
    Status status;
};

uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) { return (a << 24) | (r << 16) | (g << 8) | b; }

void expect_same_pixels(const gdiplus::Raster &a, const gdiplus::Raster &b, const std::string &what) {
    ASSERT_EQ(a.width, b.width) << what;
    ASSERT_EQ(a.height, b.height) << what;
    EXPECT_EQ(a.has_alpha, b.has_alpha) << what;
    for (int y = 0; y < a.height; ++y)
        ASSERT_EQ(std::memcmp(a.row(y), b.row(y), size_t(a.width) * 4), 0) << what << ", row " << y;
}

// Every pixel opaque and equal to the reference rendering (a PNG of the BMP corpus).
void expect_matches_reference(const Loaded &image, const std::string &reference_name) {
    benchtest::RgbaImage reference;
    ASSERT_TRUE(benchtest::read_png(corpus_path("bmp/ref/" + reference_name), &reference));
    ASSERT_EQ(image.raster().width, reference.width) << reference_name;
    ASSERT_EQ(image.raster().height, reference.height) << reference_name;
    for (int y = 0; y < reference.height; ++y)
        for (int x = 0; x < reference.width; ++x) {
            const uint8_t *p = reference.at(x, y);
            ASSERT_EQ(image.at(x, y), argb(255, p[0], p[1], p[2])) << reference_name << " " << x << "," << y;
        }
}

std::vector<std::string> corpus_files(const std::string &folder, const std::string &extension) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(corpus_path(folder)))
        if (entry.path().extension() == extension) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string read_whole(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A JPEG file decoded with libjpeg directly: header facts and pixels in the chosen colour space.
struct DirectJpeg {
    int width = 0, height = 0, components = 0;
    int sampling[3][2] = {};
    std::vector<std::vector<UINT16>> tables;  // luma and chroma quantisation, natural order
    std::vector<uint8_t> pixels;

    DirectJpeg(const std::string &bytes, J_COLOR_SPACE space) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
        jpeg_read_header(&cinfo, TRUE);
        for (int i = 0; i < 2 && cinfo.quant_tbl_ptrs[i]; ++i)
            tables.emplace_back(cinfo.quant_tbl_ptrs[i]->quantval, cinfo.quant_tbl_ptrs[i]->quantval + DCTSIZE2);
        for (int c = 0; c < cinfo.num_components && c < 3; ++c) {
            sampling[c][0] = cinfo.comp_info[c].h_samp_factor;
            sampling[c][1] = cinfo.comp_info[c].v_samp_factor;
        }
        cinfo.out_color_space = space;
        jpeg_start_decompress(&cinfo);
        width = int(cinfo.output_width);
        height = int(cinfo.output_height);
        components = cinfo.output_components;
        pixels.resize(size_t(width) * height * components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = &pixels[size_t(cinfo.output_scanline) * width * components];
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
    }
};

// The quantisation tables libjpeg makes for a quality with its standard tables.
std::vector<std::vector<UINT16>> standard_tables(int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    std::vector<std::vector<UINT16>> tables;
    for (int i = 0; i < 2; ++i)
        tables.emplace_back(cinfo.quant_tbl_ptrs[i]->quantval, cinfo.quant_tbl_ptrs[i]->quantval + DCTSIZE2);
    jpeg_destroy_compress(&cinfo);
    return tables;
}

int channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xFF); }


// GDI+ started for each test; every image and drawing surface must be gone by its end.
class GdiplusTest : public testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token, &input, NULL), Ok);
    }
    void TearDown() override {
        GdiplusShutdown(token);
        EXPECT_EQ(gdiplus::live_images(), 0u);
        EXPECT_EQ(gdiplus::live_graphics(), 0u);
    }
    ULONG_PTR token = 0;
};

// ---------------------------------------------------------------------------------------------
// Start-up

// The test program keeps GDI+ running throughout, so a run of the bench shows what a failed start
// means: the program goes on, its load reports GdiplusNotInitialized and the save fails.
TEST(Startup, AFailedStartMakesTheProgramsTranscodingFail) {
    Workspace workspace;
    benchtest::RunResult run = workspace.keys("8", {{"BENCH_FAULTS", "GdiplusStartup"}});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.err.find("Failed to save to stream!"), std::string::npos) << run.err;
    EXPECT_FALSE(workspace.exists("testC.jpg"));
}

TEST(Startup, TokensComeFromSuccessfulStartsAndStartsNest) {
    GdiplusStartupInput input;
    ULONG_PTR first = 0, second = 0;
    ASSERT_EQ(GdiplusStartup(&first, &input, NULL), Ok);
    ASSERT_EQ(GdiplusStartup(&second, &input, NULL), Ok);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    GdiplusShutdown(second + 1000);  // not handed out: ignored
    GdiplusShutdown(first);
    GdiplusShutdown(second);

    InjectedFaults faults("GdiplusStartup");
    ULONG_PTR failed = 77;
    EXPECT_EQ(GdiplusStartup(&failed, &input, NULL), GenericError);
    EXPECT_EQ(failed, 77u) << "no token from a failed start";
}

TEST(Startup, RefusesBadInput) {
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    EXPECT_EQ(GdiplusStartup(NULL, &input, NULL), InvalidParameter);
    EXPECT_EQ(GdiplusStartup(&token, NULL, NULL), InvalidParameter);
    input.GdiplusVersion = 2;
    EXPECT_EQ(GdiplusStartup(&token, &input, NULL), UnsupportedGdiplusVersion);
    GdiplusStartupInput quiet(NULL, TRUE, FALSE);
    EXPECT_EQ(GdiplusStartup(&token, &quiet, NULL), InvalidParameter) << "hooks need somewhere to go";
    GdiplusStartupOutput output = {};
    ASSERT_EQ(GdiplusStartup(&token, &quiet, &output), Ok);
    EXPECT_NE(output.NotificationHook, nullptr);
    EXPECT_NE(output.NotificationUnhook, nullptr);
    GdiplusShutdown(token);
}

// ---------------------------------------------------------------------------------------------
// The encoder list

class EncoderList : public GdiplusTest {
protected:
    void SetUp() override {
        GdiplusTest::SetUp();
        ASSERT_EQ(GetImageEncodersSize(&count, &size), Ok);
        block.reset(static_cast<BYTE *>(std::malloc(size)));
    }
    const ImageCodecInfo *records() const { return reinterpret_cast<const ImageCodecInfo *>(block.get()); }

    UINT count = 0, size = 0;
    std::unique_ptr<BYTE, decltype(&std::free)> block{nullptr, &std::free};
};

TEST_F(EncoderList, ListsBmpJpegAndPngInThePlatformsOrder) {
    ASSERT_EQ(count, 3u);
    ASSERT_EQ(GetImageEncoders(count, size, reinterpret_cast<ImageCodecInfo *>(block.get())), Ok);
    const wchar_t *mime[] = {L"image/bmp", L"image/jpeg", L"image/png"};
    const CLSID *clsid[] = {&kBmpEncoder, &kJpegEncoder, &kPngEncoder};
    const wchar_t *description[] = {L"BMP", L"JPEG", L"PNG"};
    for (UINT i = 0; i < count; ++i) {
        EXPECT_STREQ(records()[i].MimeType, mime[i]);
        EXPECT_TRUE(records()[i].Clsid == *clsid[i]) << i;
        EXPECT_STREQ(records()[i].FormatDescription, description[i]);
    }
    EXPECT_EQ(std::memcmp(records()[2].SigPattern, "\x89PNG\r\n\x1A\n", 8), 0);
    EXPECT_EQ(records()[1].SigSize, 2u);
}

TEST_F(EncoderList, OneBlockHoldsTheRecordsAndEverythingTheyPointTo) {
    ASSERT_EQ(GetImageEncoders(count, size, reinterpret_cast<ImageCodecInfo *>(block.get())), Ok);
    const BYTE *after_records = block.get() + count * sizeof(ImageCodecInfo);
    const BYTE *end = block.get() + size;
    size_t strings = 0, patterns = 0;
    auto inside = [&](const void *p, size_t bytes) {
        const BYTE *at = static_cast<const BYTE *>(p);
        return at >= after_records && at + bytes <= end;
    };
    for (UINT i = 0; i < count; ++i) {
        const ImageCodecInfo &r = records()[i];
        for (const WCHAR *text : {r.CodecName, r.FormatDescription, r.FilenameExtension, r.MimeType}) {
            size_t bytes = (std::wcslen(text) + 1) * sizeof(WCHAR);
            EXPECT_TRUE(inside(text, bytes)) << i;
            strings += bytes;
        }
        EXPECT_TRUE(inside(r.SigPattern, r.SigSize) && inside(r.SigMask, r.SigSize)) << i;
        patterns += 2 * r.SigSize;
    }
    EXPECT_EQ(size, count * sizeof(ImageCodecInfo) + strings + patterns) << "the size is exactly the block";
}

TEST_F(EncoderList, AWrongCountOrSizeIsRefused) {
    auto *out = reinterpret_cast<ImageCodecInfo *>(block.get());
    EXPECT_EQ(GetImageEncoders(count - 1, size, out), InvalidParameter);
    EXPECT_EQ(GetImageEncoders(count, size - 1, out), InvalidParameter);
    EXPECT_EQ(GetImageEncoders(count, size, NULL), InvalidParameter);
    EXPECT_EQ(GetImageEncodersSize(NULL, &size), InvalidParameter);
}

TEST_F(EncoderList, InjectedFaultEmptiesTheList) {
    InjectedFaults faults("GdipGetImageEncoders");
    UINT empty_count = 9, empty_size = 9;
    EXPECT_EQ(GetImageEncodersSize(&empty_count, &empty_size), Ok);
    EXPECT_EQ(empty_count, 0u);
    EXPECT_EQ(empty_size, 0u);
}

// ---------------------------------------------------------------------------------------------
// Saving: JPEG quality, encoder choice, failures

using Saving = GdiplusTest;

TEST_F(Saving, JpegUsesTheRequestedQualityWithStandardTablesAnd420) {
    Loaded source(corpus_path("jpeg/testimgint.jpg"));
    ASSERT_EQ(source.status, Ok);
    for (ULONG quality : {100u, 50u, 0u}) {
        QualityParameter params(quality);
        DirectJpeg written(source.save(kJpegEncoder, &params.list), JCS_RGB);
        EXPECT_EQ(written.tables, standard_tables(int(quality))) << "quality " << quality;
        EXPECT_EQ(written.width, 227);
        EXPECT_EQ(written.height, 149);
    }
    DirectJpeg by_default(source.save(kJpegEncoder), JCS_RGB);
    EXPECT_EQ(by_default.tables, standard_tables(75)) << "no parameters: quality 75";
    EXPECT_EQ(by_default.sampling[0][0], 2);
    EXPECT_EQ(by_default.sampling[0][1], 2);
    EXPECT_EQ(by_default.sampling[1][0], 1);
    EXPECT_EQ(by_default.sampling[2][1], 1);
}

TEST_F(Saving, JpegAtQuality100KeepsThePicture) {
    Loaded source(corpus_path("jpeg/rocket.jpg"));
    ASSERT_EQ(source.status, Ok);
    QualityParameter params(100);
    std::string bytes = source.save(kJpegEncoder, &params.list);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
    DirectJpeg written(bytes, JCS_RGB);
    ASSERT_EQ(written.width, 640);
    ASSERT_EQ(written.height, 427);
    double error = 0;
    for (int y = 0; y < written.height; ++y)
        for (int x = 0; x < written.width; ++x)
            for (int c = 0; c < 3; ++c)
                error += std::abs(written.pixels[(size_t(y) * 640 + x) * 3 + c] - channel(source.at(x, y), 16 - 8 * c));
    EXPECT_LT(error / (640.0 * 427 * 3), 2.0) << "mean error per channel";
}

TEST_F(Saving, BadQualityParametersAreRefusedAndWriteNothing) {
    Loaded source(corpus_path("jpeg/testimgint.jpg"));
    QualityParameter too_high(101);
    QualityParameter wrong_type(50);
    wrong_type.list.Parameter[0].Type = EncoderParameterValueTypeShort;
    QualityParameter two_values(50);
    two_values.list.Parameter[0].NumberOfValues = 2;
    for (QualityParameter *params : {&too_high, &wrong_type, &two_values}) {
        Stream stream;
        EXPECT_EQ(GdipSaveImageToStream(source.image, stream.get(), &kJpegEncoder, &params->list), InvalidParameter);
        EXPECT_EQ(stream.bytes(), "");
    }
}

TEST_F(Saving, AnEncoderNotListedIsAnInvalidParameter) {
    Loaded source(corpus_path("jpeg/testimgint.jpg"));
    CLSID zero = {};
    CLSID gif = kJpegEncoder;
    gif.Data1 = 0x557CF402;
    for (const CLSID *clsid : {&zero, &gif}) {
        Stream stream;
        EXPECT_EQ(GdipSaveImageToStream(source.image, stream.get(), clsid, NULL), InvalidParameter);
        EXPECT_EQ(stream.bytes(), "");
    }
    Stream stream;
    EXPECT_EQ(GdipSaveImageToStream(source.image, stream.get(), NULL, NULL), InvalidParameter);
    EXPECT_EQ(GdipSaveImageToStream(source.image, NULL, &kJpegEncoder, NULL), InvalidParameter);
}

TEST_F(Saving, AnImageFromAMissingFileCannotBeSaved) {
    Workspace workspace(false);
    Image image(wide(workspace.path("missing.jpg")).c_str());
    EXPECT_EQ(image.GetLastStatus(), GenericError);
    Stream stream;
    QualityParameter params(100);
    EXPECT_EQ(image.Save(stream.get(), &kJpegEncoder, &params.list), InvalidParameter);
    EXPECT_EQ(stream.bytes(), "");
    EXPECT_EQ(image.GetWidth(), 0u);
}

TEST_F(Saving, AStreamThatRefusesBytesIsAWin32Error) {
    Loaded source(corpus_path("jpeg/rocket.jpg"));
    QualityParameter params(100);  // more than one buffer of JPEG
    for (const char *rule : {"IStream::Write", "IStream::Write@2"}) {
        for (const CLSID *encoder : {&kJpegEncoder, &kPngEncoder, &kBmpEncoder}) {
            InjectedFaults faults(rule);
            Stream stream;
            EXPECT_EQ(GdipSaveImageToStream(source.image, stream.get(), encoder, &params.list), Win32Error) << rule;
        }
    }
    InjectedFaults faults("GdipSaveImageToStream");
    Stream stream;
    EXPECT_EQ(GdipSaveImageToStream(source.image, stream.get(), &kJpegEncoder, NULL), Win32Error);
    EXPECT_EQ(stream.bytes(), "");
}

TEST_F(Saving, PngAndBmpRoundTripsKeepThePixels) {
    Workspace workspace(false);
    for (const char *name : {"basn6a08.png", "basn2c08.png", "tbrn2c08.png"}) {
        Loaded source(corpus_path(std::string("png/") + name));
        ASSERT_EQ(source.status, Ok) << name;
        workspace.write("again.png", source.save(kPngEncoder));
        Loaded png(workspace.path("again.png"));
        ASSERT_EQ(png.status, Ok) << name;
        expect_same_pixels(source.raster(), png.raster(), name);

        std::string bmp = source.save(kBmpEncoder);
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
        ASSERT_GE(bmp.size(), sizeof file + sizeof info);
        std::memcpy(&file, bmp.data(), sizeof file);
        std::memcpy(&info, bmp.data() + sizeof file, sizeof info);
        EXPECT_EQ(WORD(file.bfType), 0x4D42);
        EXPECT_EQ(DWORD(file.bfSize), bmp.size());
        EXPECT_EQ(info.biBitCount, source.raster().has_alpha ? 32 : 24) << name;
        EXPECT_EQ(info.biHeight, 32) << "bottom-up";
        workspace.write("again.bmp", bmp);
        Loaded reloaded(workspace.path("again.bmp"));
        ASSERT_EQ(reloaded.status, Ok) << name;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(reloaded.at(x, y) & 0xFFFFFF, source.at(x, y) & 0xFFFFFF) << name << " " << x << "," << y;
    }
}

// ---------------------------------------------------------------------------------------------
// Decoding

using Decoding = GdiplusTest;

TEST_F(Decoding, BaselineProgressiveAndArithmeticJpegsGiveIdenticalPixels) {
    Loaded baseline(corpus_path("jpeg/testimgint.jpg"));
    Loaded progressive(corpus_path("jpeg/testimgp.jpg"));
    Loaded arithmetic(corpus_path("jpeg/testimgari.jpg"));
    ASSERT_EQ(baseline.status, Ok);
    ASSERT_EQ(progressive.status, Ok);
    ASSERT_EQ(arithmetic.status, Ok);
    EXPECT_FALSE(baseline.raster().has_alpha);
    EXPECT_EQ(baseline.at(0, 0) >> 24, 0xFFu) << "opaque";
    expect_same_pixels(baseline.raster(), progressive.raster(), "progressive");
    expect_same_pixels(baseline.raster(), arithmetic.raster(), "arithmetic");
}

TEST_F(Decoding, GreyJpegIsTheLumaOfTheColourOneInAllChannels) {
    Loaded grey(corpus_path("jpeg/testimggray.jpg"));
    ASSERT_EQ(grey.status, Ok);
    DirectJpeg luma(read_whole(corpus_path("jpeg/testimgint.jpg")), JCS_GRAYSCALE);
    ASSERT_EQ(grey.raster().width, luma.width);
    for (int y = 0; y < luma.height; ++y)
        for (int x = 0; x < luma.width; ++x) {
            unsigned v = luma.pixels[size_t(y) * luma.width + x];
            ASSERT_EQ(grey.at(x, y), argb(255, v, v, v)) << x << "," << y;
        }
}

TEST_F(Decoding, AdobeCmykJpegIsConvertedToRgb) {
    Loaded cmyk(corpus_path("jpeg/pil_sample_cmyk.jpg"));
    ASSERT_EQ(cmyk.status, Ok);
    uint32_t red = cmyk.at(0, 0);
    EXPECT_GE(channel(red, 16), 245);
    EXPECT_LE(channel(red, 8), 25);
    EXPECT_LE(channel(red, 0), 35);
    for (auto corner : {std::make_pair(99, 0), std::make_pair(0, 99), std::make_pair(99, 99)}) {
        uint32_t p = cmyk.at(corner.first, corner.second);
        EXPECT_LE(channel(p, 16) + channel(p, 8) + channel(p, 0), 60) << "near black";
    }
}

TEST_F(Decoding, ExifOrientationIsNotApplied) {
    Image image(wide(corpus_path("jpeg/Landscape_6.jpg")).c_str());
    ASSERT_EQ(image.GetLastStatus(), Ok);
    EXPECT_EQ(image.GetWidth(), 450u);
    EXPECT_EQ(image.GetHeight(), 600u);
}

TEST_F(Decoding, InterlacedPngsGiveThePixelsOfTheirNonInterlacedTwins) {
    int pairs = 0;
    for (const std::string &name : corpus_files("png", ".png")) {
        if (name[3] != 'i' || name[0] == 'x') continue;
        std::string twin = name.substr(0, 3) + "n" + name.substr(4);
        if (!std::filesystem::exists(corpus_path("png/" + twin))) continue;
        Loaded interlaced(corpus_path("png/" + name));
        Loaded plain(corpus_path("png/" + twin));
        ASSERT_EQ(interlaced.status, Ok) << name;
        ASSERT_EQ(plain.status, Ok) << twin;
        expect_same_pixels(interlaced.raster(), plain.raster(), name);
        ++pairs;
    }
    EXPECT_EQ(pairs, 33);
}

// Values read off with another decoder, gamma left alone; 16-bit samples scale by 255 / 65535,
// rounded.
TEST_F(Decoding, PngPixelsMatchHandCheckedValues) {
    struct Expected {
        const char *file;
        int x, y;
        uint32_t pixel;
        bool alpha;
    } cases[] = {
        {"basn2c08.png", 0, 0, argb(255, 255, 255, 255), false},
        {"basn2c08.png", 2, 3, argb(255, 255, 255, 157), false},
        {"basn2c08.png", 18, 15, argb(255, 255, 13, 255), false},
        {"basn3p08.png", 2, 3, argb(255, 51, 0, 0), false},
        {"basn3p08.png", 18, 15, argb(255, 0, 254, 0), false},
        {"basn0g01.png", 18, 15, argb(255, 0, 0, 0), false},
        {"basn0g16.png", 2, 3, argb(255, 24, 24, 24), false},
        {"basn0g16.png", 18, 15, argb(255, 191, 191, 191), false},
        {"basn6a08.png", 0, 0, argb(0, 255, 0, 8), true},
        {"basn6a08.png", 18, 15, argb(148, 32, 255, 4), true},
        {"basn4a16.png", 2, 3, argb(33, 19, 19, 19), true},
        {"tbrn2c08.png", 0, 0, argb(0, 255, 255, 255), true},
        {"tbrn2c08.png", 18, 15, argb(255, 89, 89, 89), true},
        {"tbbn3p08.png", 18, 15, argb(255, 89, 89, 89), true},
        {"tp0n3p08.png", 0, 0, argb(255, 127, 127, 127), false},
    };
    for (const Expected &e : cases) {
        Loaded image(corpus_path(std::string("png/") + e.file));
        ASSERT_EQ(image.status, Ok) << e.file;
        EXPECT_EQ(image.at(e.x, e.y), e.pixel) << e.file << " " << e.x << "," << e.y;
        EXPECT_EQ(image.raster().has_alpha, e.alpha) << e.file;
    }
}

TEST_F(Decoding, BmpFilesLoadThroughThePixelEngine) {
    Loaded bmp(corpus_path("bmp/g/rgb24.bmp"));
    ASSERT_EQ(bmp.status, Ok);
    expect_matches_reference(bmp, "rgb24.png");
    Loaded top_down(corpus_path("bmp/g/pal8topdown.bmp"));
    Loaded bottom_up(corpus_path("bmp/g/pal8.bmp"));
    ASSERT_EQ(top_down.status, Ok);
    expect_same_pixels(top_down.raster(), bottom_up.raster(), "pal8topdown");
}

// Pixels that the codes skip take palette entry 0.
TEST_F(Decoding, RunLengthEncodedBmpsExpandToTheirPlainTwins) {
    for (const char *name : {"pal8", "pal4"}) {
        Loaded encoded(corpus_path(std::string("bmp/g/") + name + "rle.bmp"));
        Loaded plain(corpus_path(std::string("bmp/g/") + name + ".bmp"));
        ASSERT_EQ(encoded.status, Ok) << name;
        expect_same_pixels(encoded.raster(), plain.raster(), name);
    }
    for (const char *name : {"pal8rlecut", "pal8rletrns", "pal4rlecut", "pal4rletrns"}) {
        Loaded encoded(corpus_path(std::string("bmp/q/") + name + ".bmp"));
        ASSERT_EQ(encoded.status, Ok) << name;
        expect_matches_reference(encoded, std::string(name) + "-0.png");
    }
    EXPECT_NE(Loaded(corpus_path("bmp/b/rletopdown.bmp")).status, Ok) << "RLE is bottom-up only";
}

enum class Verdict { Load, Reject, Either };

struct CorpusFile {
    std::string relative;
    Verdict verdict;
};

// Every image of the corpus with what its index asks of a decoder. The truncated JPEG may be
// tolerated or refused: the layer refuses it.
std::vector<CorpusFile> image_corpus() {
    std::vector<CorpusFile> files;
    for (const std::string &name : corpus_files("jpeg", ".jpg"))
        files.push_back({"jpeg/" + name, name == "truncated.jpg" ? Verdict::Reject : Verdict::Load});
    for (const std::string &name : corpus_files("png", ".png"))
        files.push_back({"png/" + name, name[0] == 'x' ? Verdict::Reject : Verdict::Load});
    for (const benchtest::CorpusEntry &entry : benchtest::read_bmp_corpus_index()) {
        std::string expected = benchtest::platform_verdict(entry);
        Verdict verdict = expected == "LOAD" ? Verdict::Load
                          : expected == "REJECT" ? Verdict::Reject
                                                 : Verdict::Either;
        files.push_back({"bmp/" + entry.file, verdict});
    }
    return files;
}

// The good files load, save as JPEG and draw; the rest fail cleanly, leaving no image.
TEST_F(Decoding, EveryCorpusImageLoadsSavesAndDrawsOrFailsCleanly) {
    Canvas canvas(64, 64, 0);
    ASSERT_TRUE(canvas.ready());
    GpGraphics *graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
    size_t loaded = 0, files = 0;
    for (const CorpusFile &file : image_corpus()) {
        ++files;
        Loaded image(corpus_path(file.relative));
        EXPECT_TRUE(file.verdict != Verdict::Load || image.status == Ok) << file.relative << ": " << image.status;
        EXPECT_TRUE(file.verdict != Verdict::Reject || image.status != Ok) << file.relative;
        if (image.status != Ok) {
            EXPECT_EQ(image.image, nullptr) << file.relative;
            continue;
        }
        ++loaded;
        QualityParameter params(100);
        EXPECT_EQ(image.save(kJpegEncoder, &params.list).substr(0, 2), "\xFF\xD8") << file.relative;
        EXPECT_EQ(GdipDrawImageI(graphics, image.image, 0, 0), Ok) << file.relative;
        uint32_t corner = image.at(0, 0);
        EXPECT_TRUE(image.raster().has_alpha || canvas.rgb(0, 0) == (corner & 0xFFFFFF)) << file.relative;
    }
    EXPECT_EQ(files, 8u + 175u + 91u);
    std::printf("%zu of %zu corpus images loaded\n", loaded, files);
    GdipDeleteGraphics(graphics);
}

// The decoder reads headers as CreateDIBSection does: 12 bytes is a core header, 40 or more an info
// header with its masks right after the first 40 bytes, and the other sizes are refused.
TEST_F(Decoding, BmpHeaderSizesFrom11To130) {
    Workspace workspace(false);
    for (DWORD size = 11; size <= 130; ++size) {
        workspace.write("sized.bmp", benchtest::sized_header_file(size));
        Loaded image(workspace.path("sized.bmp"));
        EXPECT_EQ(image.status == Ok, size == 12 || size >= 40) << size;
        if (image.status == Ok) {
            EXPECT_EQ(image.at(0, 0), size == 12 ? 0xFF0000FFu : 0xFFFF0000u) << size;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Bad input

class BadInput : public GdiplusTest {
protected:
    Status load_bytes(const std::string &bytes) {
        workspace.write("input", bytes);
        Loaded image(workspace.path("input"));
        EXPECT_EQ(image.image == nullptr, image.status != Ok);
        return image.status;
    }
    Workspace workspace{false};
};

TEST_F(BadInput, FilesThatCannotBeReadAreGenericErrors) {
    EXPECT_EQ(Loaded(workspace.path("missing.png")).status, GenericError);
    EXPECT_EQ(Loaded(workspace.dir()).status, GenericError) << "a directory";
    EXPECT_EQ(GdipLoadImageFromFile(L"x.png", NULL), InvalidParameter);
}

TEST_F(BadInput, BytesOfNoKnownFormatAreUnknownImageFormat) {
    EXPECT_EQ(load_bytes(""), UnknownImageFormat);
    EXPECT_EQ(load_bytes("hello, world\n"), UnknownImageFormat);
    EXPECT_EQ(load_bytes("\xFF\xD8"), UnknownImageFormat) << "too short to be a JPEG";
}

TEST_F(BadInput, TruncatedOrCorruptFilesAreGenericErrors) {
    std::string jpeg = read_whole(corpus_path("jpeg/testimgint.jpg"));
    std::string progressive = read_whole(corpus_path("jpeg/testimgp.jpg"));
    std::string png = read_whole(corpus_path("png/basn2c08.png"));
    std::string bmp = read_whole(corpus_path("bmp/g/rgb24.bmp"));
    EXPECT_EQ(load_bytes(jpeg.substr(0, jpeg.size() / 2)), GenericError);
    EXPECT_EQ(load_bytes(progressive.substr(0, progressive.size() / 2)), GenericError);
    EXPECT_EQ(load_bytes(jpeg.substr(0, 3) + std::string(500, '\x42')), GenericError);
    EXPECT_EQ(load_bytes(png.substr(0, png.size() / 2)), GenericError);
    EXPECT_EQ(load_bytes(png.substr(0, png.size() - 12)), GenericError) << "no end chunk";
    std::string damaged = png;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_EQ(load_bytes(damaged), GenericError) << "chunk CRC";
    EXPECT_EQ(load_bytes(bmp.substr(0, bmp.size() - 1)), GenericError);
    EXPECT_EQ(load_bytes(bmp.substr(0, 20)), GenericError);
}

TEST_F(BadInput, HugeClaimedDimensionsAreRefusedBeforeDecoding) {
    std::string jpeg = read_whole(corpus_path("jpeg/testimgint.jpg"));
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg.replace(sof + 5, 4, "\xFD\xE8\xFD\xE8");  // 65000 x 65000
    EXPECT_EQ(load_bytes(jpeg), OutOfMemory);

    std::string png = read_whole(corpus_path("png/basn2c08.png"));
    png.replace(16, 8, std::string("\x00\x00\x4E\x20\x00\x00\x4E\x20", 8));  // 20000 x 20000
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
    EXPECT_EQ(load_bytes(png), OutOfMemory);
}

TEST_F(BadInput, TheContentDecidesTheFormatNotTheName) {
    workspace.copy_in(corpus_path("png/basn6a08.png"), "picture.jpg");
    Loaded png(workspace.path("picture.jpg"));
    ASSERT_EQ(png.status, Ok);
    EXPECT_TRUE(png.raster().has_alpha);
    workspace.copy_in(corpus_path("jpeg/testimgint.jpg"), "photo.bmp");
    EXPECT_EQ(Loaded(workspace.path("photo.bmp")).status, Ok);
}

TEST_F(BadInput, WideNamesReachTheFileSystemAsUtf8) {
    workspace.copy_in(corpus_path("png/basn2c08.png"), "bild_\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80.png");
    EXPECT_EQ(Loaded(wide(workspace.dir()) + L"/bild_\u00E4\u20AC\U0001F600.png").status, Ok);
}

// ---------------------------------------------------------------------------------------------
// Drawing

using Drawing = GdiplusTest;

TEST_F(Drawing, ImagesAppearAtTheirPixelSizeAtTheGivenPoint) {
    Canvas canvas(300, 200, 0x00123456);
    ASSERT_TRUE(canvas.ready());
    Image image(wide(corpus_path("jpeg/testimgint.jpg")).c_str());
    Loaded pixels(corpus_path("jpeg/testimgint.jpg"));
    {
        Graphics graphics(canvas.dc());
        ASSERT_EQ(graphics.GetLastStatus(), Ok);
        ASSERT_EQ(graphics.DrawImage(&image, 10, 20), Ok);
    }
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            bool inside = x >= 10 && x < 10 + 227 && y >= 20 && y < 20 + 149;
            uint32_t expected = inside ? pixels.at(x - 10, y - 20) & 0xFFFFFF : 0x123456;
            ASSERT_EQ(canvas.rgb(x, y), expected) << x << "," << y;
        }
}

TEST_F(Drawing, AlphaBlendsOverWhatIsThere) {
    Canvas canvas(40, 40, 0x000000FF);
    ASSERT_TRUE(canvas.ready());
    Image image(wide(corpus_path("png/basn6a08.png")).c_str());
    Loaded pixels(corpus_path("png/basn6a08.png"));
    Graphics graphics(canvas.dc());
    ASSERT_EQ(graphics.DrawImage(&image, 0, 0), Ok);
    EXPECT_EQ(canvas.rgb(0, 0), 0x0000FFu) << "fully transparent leaves the blue background";
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t source = pixels.at(x, y);
            int a = channel(source, 24);
            for (int shift : {16, 8, 0}) {
                int under = shift == 0 ? 255 : 0;
                int expected = (channel(source, shift) * a + under * (255 - a)) / 255;
                ASSERT_NEAR(channel(canvas.rgb(x, y), shift), expected, 1) << x << "," << y;
            }
        }
}

TEST_F(Drawing, PartsOutsideTheSurfaceAreClipped) {
    Canvas canvas(20, 20, 0);
    ASSERT_TRUE(canvas.ready());
    Image image(wide(corpus_path("png/basn2c08.png")).c_str());
    Loaded pixels(corpus_path("png/basn2c08.png"));
    Graphics graphics(canvas.dc());
    ASSERT_EQ(graphics.DrawImage(&image, -10, -5), Ok);
    ASSERT_EQ(graphics.DrawImage(&image, 15, 15), Ok);
    EXPECT_EQ(canvas.rgb(0, 0), pixels.at(10, 5) & 0xFFFFFF);
    EXPECT_EQ(canvas.rgb(14, 14), pixels.at(24, 19) & 0xFFFFFF);
    EXPECT_EQ(canvas.rgb(19, 19), pixels.at(4, 4) & 0xFFFFFF);
}

TEST_F(Drawing, InvalidContextsAndObjectsAreRefused) {
    GpGraphics *graphics = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(NULL, &graphics), OutOfMemory);
    EXPECT_EQ(GdipCreateFromHDC(reinterpret_cast<HDC>(0x7001234), &graphics), OutOfMemory);
    EXPECT_EQ(graphics, nullptr);

    Canvas canvas(4, 4, 0);
    ASSERT_TRUE(canvas.ready());
    ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
    Loaded image(corpus_path("png/basn2c08.png"));
    EXPECT_EQ(GdipDrawImageI(graphics, NULL, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDrawImageI(NULL, image.image, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    EXPECT_EQ(GdipDrawImageI(graphics, image.image, 0, 0), InvalidParameter) << "deleted";
    EXPECT_EQ(GdipDeleteGraphics(graphics), InvalidParameter) << "twice";
    EXPECT_EQ(GdipDeleteGraphics(NULL), Ok);
    EXPECT_EQ(GdipDisposeImage(NULL), Ok);
}

}  // namespace
