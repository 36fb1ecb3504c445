// GDI+: start-up, the encoder list, loading JPEG/PNG/BMP files, saving to streams and drawing on
// device contexts, driven directly through gdiplus.h. Decoded pixels are read from the layer's
// image objects; encoded files are checked with libjpeg and libpng directly.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "support/bench_run.h"
#include "support/canvas.h"
#include "support/claimed_size.h"
#include "support/gdiplus_image.h"
#include "support/image_index.h"
#include "support/injected_faults.h"
#include "support/reference_pixels.h"

using namespace benchtest;

namespace {

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
    Loaded source(image_path("jpeg/g/baseline420.jpg"));
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
    Loaded source(image_path("jpeg/g/photo.jpg"));
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
    Loaded source(image_path("jpeg/g/baseline420.jpg"));
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
    Loaded source(image_path("jpeg/g/baseline420.jpg"));
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
    Loaded source(image_path("jpeg/g/photo.jpg"));
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
    for (const char *name : {"rgba8.png", "rgb8.png", "rgb8trns.png"}) {
        Loaded source(image_path(std::string("png/g/") + name));
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
// Decoding the generated images, whose expected pixels come from the generator

using Decoding = GdiplusTest;

// Good files load and show their expected pictures (PNG with its alpha, BMP opaque, RLE
// expanded); questionable ones may fail; bad ones fail cleanly, leaving no image. What loads
// saves as JPEG and draws.
TEST_F(Decoding, EveryGeneratedImageLoadsAsItsIndexSays) {
    Canvas canvas(64, 64, 0);
    ASSERT_TRUE(canvas.ready());
    GpGraphics *graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
    size_t files = 0;
    for (std::string folder : {"bmp/", "jpeg/", "png/"})
        for (const IndexEntry &entry : read_image_index(image_path(folder))) {
            ++files;
            Loaded image(image_path(folder + entry.file));
            EXPECT_TRUE(entry.verdict != "LOAD" || image.status == Ok) << entry.file << ": " << image.status;
            EXPECT_TRUE(entry.verdict != "REJECT" || image.status != Ok) << entry.file;
            if (image.status != Ok) {
                EXPECT_EQ(image.image, nullptr) << entry.file;
                continue;
            }
            bool alpha = entry.facts.find("alpha") != std::string::npos;
            EXPECT_EQ(image.raster().has_alpha, alpha) << entry.file;
            if (!entry.reference.empty()) expect_matches_picture(image, image_path(folder + "ref/" + entry.reference), alpha);
            QualityParameter params(100);
            EXPECT_EQ(image.save(kJpegEncoder, &params.list).substr(0, 2), "\xFF\xD8") << entry.file;
            EXPECT_EQ(GdipDrawImageI(graphics, image.image, 0, 0), Ok) << entry.file;
        }
    EXPECT_GT(files, 100u) << "the three indexes are read";
    GdipDeleteGraphics(graphics);
}

// Every kind gives the pixels libjpeg itself decodes; the Exif orientation is not applied.
TEST_F(Decoding, JpegKindsGiveTheLibrarysOwnPixels) {
    struct Kind {
        const char *file;
        int width, height;
        J_COLOR_SPACE space;
    } kinds[] = {
        {"baseline420.jpg", 227, 149, JCS_RGB}, {"baseline444.jpg", 227, 149, JCS_RGB},
        {"progressive.jpg", 227, 149, JCS_RGB}, {"arithmetic.jpg", 227, 149, JCS_RGB},
        {"restarts.jpg", 227, 149, JCS_RGB},    {"grey.jpg", 227, 149, JCS_GRAYSCALE},
        {"exif6.jpg", 45, 60, JCS_RGB},  // the tag asks for a quarter turn
    };
    for (const Kind &kind : kinds) {
        std::string path = image_path(std::string("jpeg/g/") + kind.file);
        Loaded image(path);
        ASSERT_EQ(image.status, Ok) << kind.file;
        ASSERT_EQ(image.raster().width, kind.width) << kind.file;
        ASSERT_EQ(image.raster().height, kind.height) << kind.file;
        EXPECT_FALSE(image.raster().has_alpha) << kind.file;
        DirectJpeg direct(read_whole(path), kind.space);
        for (int y = 0; y < kind.height; ++y)
            for (int x = 0; x < kind.width; ++x) {
                const uint8_t *p = &direct.pixels[(size_t(y) * kind.width + x) * size_t(direct.components)];
                int blue = direct.components - 1;  // grey: the one sample in all three channels
                ASSERT_EQ(image.at(x, y), argb(255, p[0], p[blue / 2], p[blue])) << kind.file << " " << x << "," << y;
            }
    }
    Loaded baseline(image_path("jpeg/g/baseline420.jpg"));
    Loaded progressive(image_path("jpeg/g/progressive.jpg"));
    Loaded arithmetic(image_path("jpeg/g/arithmetic.jpg"));
    expect_same_pixels(baseline.raster(), progressive.raster(), "progressive");
    expect_same_pixels(baseline.raster(), arithmetic.raster(), "arithmetic");
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

// The file's top-left quarter is red ink, the rest black ink; blocks on the quarter's edges blur.
TEST_F(Decoding, AdobeCmykJpegIsConvertedToRgb) {
    Loaded cmyk(image_path("jpeg/g/cmyk.jpg"));
    ASSERT_EQ(cmyk.status, Ok);
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 100; x += 3) {
            if (std::abs(x - 50) < 8 || std::abs(y - 50) < 8) continue;
            bool red = x < 50 && y < 50;
            uint32_t p = cmyk.at(x, y);
            EXPECT_NEAR(channel(p, 16), red ? 255 : 0, 12) << x << "," << y;
            EXPECT_NEAR(channel(p, 8), 0, 12) << x << "," << y;
            EXPECT_NEAR(channel(p, 0), 0, 12) << x << "," << y;
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
    std::string jpeg = read_whole(image_path("jpeg/g/baseline420.jpg"));
    std::string progressive = read_whole(image_path("jpeg/g/progressive.jpg"));
    std::string png = read_whole(image_path("png/g/rgb8.png"));
    std::string bmp = read_whole(image_path("bmp/g/rgb24.bmp"));
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

TEST_F(BadInput, ClaimsOver31BitsOfRowsAreRefusedBeforeDecoding) {
    EXPECT_EQ(load_bytes(jpeg_claiming(65000, 65000)), OutOfMemory);
    // 1.6 GB of rows fit in 31 bits: the picture is decoded until its data runs out.
    EXPECT_EQ(load_bytes(png_claiming(20000, 20000)), GenericError);
}

TEST_F(BadInput, TheContentDecidesTheFormatNotTheName) {
    workspace.copy_in(image_path("png/g/rgba8.png"), "picture.jpg");
    Loaded png(workspace.path("picture.jpg"));
    ASSERT_EQ(png.status, Ok);
    EXPECT_TRUE(png.raster().has_alpha);
    workspace.copy_in(image_path("jpeg/g/baseline420.jpg"), "photo.bmp");
    EXPECT_EQ(Loaded(workspace.path("photo.bmp")).status, Ok);
}

TEST_F(BadInput, WideNamesReachTheFileSystemAsUtf8) {
    workspace.copy_in(image_path("png/g/rgb8.png"), "bild_\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80.png");
    EXPECT_EQ(Loaded(wide(workspace.dir()) + L"/bild_\u00E4\u20AC\U0001F600.png").status, Ok);
}

// ---------------------------------------------------------------------------------------------
// Drawing

using Drawing = GdiplusTest;

TEST_F(Drawing, ImagesAppearAtTheirPixelSizeAtTheGivenPoint) {
    Canvas canvas(300, 200, 0x00123456);
    ASSERT_TRUE(canvas.ready());
    Image image(wide(image_path("jpeg/g/baseline420.jpg")).c_str());
    Loaded pixels(image_path("jpeg/g/baseline420.jpg"));
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
    Image image(wide(image_path("png/g/rgba8.png")).c_str());
    Loaded pixels(image_path("png/g/rgba8.png"));
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
    Image image(wide(image_path("png/g/rgb8.png")).c_str());
    Loaded pixels(image_path("png/g/rgb8.png"));
    Graphics graphics(canvas.dc());
    ASSERT_EQ(graphics.DrawImage(&image, -10, -5), Ok);
    ASSERT_EQ(graphics.DrawImage(&image, 15, 15), Ok);
    EXPECT_EQ(canvas.rgb(0, 0), pixels.at(10, 5) & 0xFFFFFF);
    EXPECT_EQ(canvas.rgb(14, 14), pixels.at(24, 19) & 0xFFFFFF);
    EXPECT_EQ(canvas.rgb(19, 19), pixels.at(4, 4) & 0xFFFFFF);
}

// Drawn across the surface's edges (only the part on the surface is decoded, from the first
// whole block of columns it needs) and saved, a large JPEG gives what it gives decoded whole.
TEST_F(Drawing, LargeJpegsDrawAndSaveAsTheirPicturesDecodedWhole) {
    const std::string large = image_path("jpeg/large.jpg");  // over 64 MB of rows: kept as its file
    Loaded whole(large);
    ASSERT_EQ(whole.status, Ok);
    QualityParameter params(100);
    Loaded kept(large);
    std::string saved_kept = kept.save(kJpegEncoder, &params.list);
    whole.raster();
    EXPECT_EQ(saved_kept, whole.save(kJpegEncoder, &params.list));
    const struct {
        int x, y;
    } points[] = {{-37, -21}, {-32, -16}, {-4150, 5}, {50, 30}, {-3, -4090}};
    for (const auto &p : points) {
        Canvas canvas(100, 60, 0x00123456);
        ASSERT_TRUE(canvas.ready());
        GpGraphics *graphics = nullptr;
        ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
        EXPECT_EQ(GdipDrawImageI(graphics, kept.image, p.x, p.y), Ok);
        GdipDeleteGraphics(graphics);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x) {
                int u = x - p.x, v = y - p.y;
                bool inside = u >= 0 && u < 4200 && v >= 0 && v < 4100;
                ASSERT_EQ(canvas.rgb(x, y), inside ? whole.at(u, v) & 0xFFFFFF : 0x123456u)
                    << p.x << "," << p.y << ": " << x << "," << y;
            }
    }
}

TEST_F(Drawing, InvalidContextsAndObjectsAreRefused) {
    GpGraphics *graphics = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(NULL, &graphics), OutOfMemory);
    EXPECT_EQ(GdipCreateFromHDC(reinterpret_cast<HDC>(0x7001234), &graphics), OutOfMemory);
    EXPECT_EQ(graphics, nullptr);

    Canvas canvas(4, 4, 0);
    ASSERT_TRUE(canvas.ready());
    ASSERT_EQ(GdipCreateFromHDC(canvas.dc(), &graphics), Ok);
    Loaded image(image_path("png/g/rgb8.png"));
    EXPECT_EQ(GdipDrawImageI(graphics, NULL, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDrawImageI(NULL, image.image, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    EXPECT_EQ(GdipDrawImageI(graphics, image.image, 0, 0), InvalidParameter) << "deleted";
    EXPECT_EQ(GdipDeleteGraphics(graphics), InvalidParameter) << "twice";
    EXPECT_EQ(GdipDeleteGraphics(NULL), Ok);
    EXPECT_EQ(GdipDisposeImage(NULL), Ok);
}

}  // namespace
