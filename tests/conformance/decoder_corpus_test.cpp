// The JPEG files, PngSuite and BMP Suite of the corpus through GDI+: every file loads, saves and
// draws or fails cleanly, and decoded pixels agree with twins, references and checked values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/bench_run.h"
#include "support/canvas.h"
#include "support/gdiplus_image.h"
#include "support/image_index.h"

using namespace benchtest;

namespace {

// Every pixel opaque and equal to the reference rendering (a PNG of the BMP corpus).
void expect_matches_reference(const Loaded &image, const std::string &reference_name) {
    expect_matches_picture(image, corpus_path("bmp/ref/" + reference_name), false);
}

std::vector<std::string> corpus_files(const std::string &folder, const std::string &extension) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(corpus_path(folder)))
        if (entry.path().extension() == extension) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
    for (const IndexEntry &entry : read_image_index(corpus_path("bmp"))) {
        std::string expected = platform_verdict(entry);
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

}  // namespace
