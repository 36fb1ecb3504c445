// The BMP Suite files of the corpus: through the program's loader and blit, and through the GDI
// engine's header reader and pixel converter, against the suite's reference renderings.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "support/bench_run.h"
#include "support/bmp_reference.h"
#include "support/canvas.h"
#include "support/image_index.h"
#include "support/test_window.h"

using namespace benchtest;

namespace {

TEST(BmpCorpus, GoodFilesShowTheirReferencePictures) {
    unsigned objects = gdi_objects();
    int checked = 0;
    for (const IndexEntry &entry : read_image_index(corpus_path("bmp"))) {
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
    for (const IndexEntry &entry : read_image_index(corpus_path("bmp"))) {
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

// --- Headers through describe_dib, pixels through read_bgra, against the references.

TEST(GdiCorpus, FilesThatLoadShowTheReferencePictures) {
    std::vector<std::string> loaded, refused;
    for (const IndexEntry &entry : read_image_index(corpus_path("bmp"))) {
        LoadedBmp bmp;
        if (!load_bmp(corpus_path("bmp/" + entry.file), &bmp)) {
            refused.push_back(entry.file);
            EXPECT_TRUE(entry.verdict != "LOAD" || entry.facts.find("RLE") != std::string::npos) << entry.file;
            continue;
        }
        loaded.push_back(entry.file);
        // A colour count past what the pixels can index is cut to the table's capacity, as for
        // the 300-colour files; a loader that knows its info block's length refuses this one.
        if (entry.file != "b/badpalettesize.bmp") {
            EXPECT_NE(platform_verdict(entry), "REJECT") << entry.file;
        }
        // GDI draws pixels as they are; this file's reference is the colour-managed rendering.
        if (entry.file == "q/rgb24prof2.bmp") continue;
        if (entry.reference.empty() || entry.reference.find(".png") == std::string::npos) continue;
        RgbaImage reference;
        ASSERT_TRUE(read_png(corpus_path("bmp/ref/" + entry.reference), &reference));
        std::array<int, 3> widths = channel_widths(corpus_path("bmp/" + entry.file));
        // Channels wider than 8 bits give their top 8 bits, where the references round.
        bool wide_channels = *std::max_element(widths.begin(), widths.end()) > 8;
        int difference = largest_difference(bmp.surface, reference, widths);
        EXPECT_GE(difference, 0) << entry.file;
        EXPECT_LE(difference, wide_channels ? 1 : 0) << entry.file << " against " << entry.reference;
    }
    std::ostringstream report;
    for (const std::string &name : refused) report << ' ' << name;
    RecordProperty("refused", report.str());
    std::cout << "loaded " << loaded.size() << ", refused " << refused.size() << ":" << report.str() << "\n";
}

}  // namespace
