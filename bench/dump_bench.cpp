// The pixel dump writer against the floor (writing the same number of bytes from a filled buffer)
// and against a naive writer that formats and writes every number on its own.
#include <windows.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "support/test_window.h"
#include "timing.h"

namespace {

const int kWidth = 1280, kHeight = 1024;
const char kFile[] = "dump_bench.out";

void write_filled(size_t bytes) {
    static std::vector<char> buffer(size_t(13107200), ' ');
    FILE *file = fopen(kFile, "wb");
    std::fwrite(buffer.data(), 1, bytes, file);
    fclose(file);
}

// The obvious writer: sprintf every number, one fwrite per piece.
void write_naive(const unsigned char *bytes) {
    FILE *file = fopen(kFile, "wb");
    for (int r = 0; r < kHeight; ++r)
        for (int c = 0; c < kWidth; ++c) {
            const unsigned char *p = bytes + (size_t(r) * kWidth + c) * 3;
            for (int k = 0; k < 3; ++k) {
                char text[8];
                std::sprintf(text, "%3d", p[k]);
                std::fwrite(text, 1, 3, file);
            }
            std::fwrite(" ", 1, 1, file);
        }
    fclose(file);
}

}  // namespace

int main() {
    std::string dir = benchtime::enter_scratch_dir("dump_bench");
    if (dir.empty()) return 1;
    int results = benchtime::silence_stdout();  // fn_Log's console lines go nowhere

    std::vector<unsigned char> pixels(size_t(kWidth) * kHeight * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (unsigned char)(i * 7 + i / 3000);
    long rss_before = benchtime::peak_rss_kb();
    fn_Log(8, NULL, kWidth, kHeight, pixels.data(), pixels.size());
    long rss_after_dump = benchtime::peak_rss_kb();
    double dump, floor13;
    benchtime::best_ms_interleaved(
        9, [&] { fn_Log(8, NULL, kWidth, kHeight, pixels.data(), pixels.size()); },
        [] { write_filled(13107200); }, &dump, &floor13);
    double naive = benchtime::best_ms(2, [&] { write_naive(pixels.data()); });

    benchtest::TestWindow window(kWidth, kHeight);
    window.paint_pattern();
    double device, floor5;
    benchtime::best_ms_interleaved(
        7, [&] { fn_Log(0, window.dc(), kWidth, kHeight, NULL, 0); }, [] { write_filled(5242880); }, &device,
        &floor5);

    benchtime::restore_stdout(results);
    std::printf("Pixel dumps, 1280 x 1024 (best of several runs)\n");
    benchtime::report("floor: 13,107,200 filled bytes", floor13, floor13, "floor", 0);
    benchtime::report("naive writer (sprintf + fwrite per piece)", naive, floor13, "floor", 0);
    benchtime::report("three-number dump (type 8)", dump, floor13, "floor", 1.3);
    std::printf("%-44s %9.1f x faster (target >= 25)\n", "three-number dump vs naive writer", naive / dump);
    benchtime::report("floor: 5,242,880 filled bytes", floor5, floor5, "floor", 0);
    benchtime::report("device dump (type 0, GetPixel each)", device, floor5, "floor", 4.0);
    std::printf("peak memory added by the dump: %ld kB\n", rss_after_dump - rss_before);
    std::remove(kFile);
    std::remove("test8.txt");
    std::remove("test0.txt");
    rmdir(dir.c_str());
    return 0;
}
