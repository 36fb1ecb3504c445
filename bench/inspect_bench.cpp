// gdibench-inspect against its floors: comparing two 1280 x 1024 three-number dumps against
// reading both files into memory, and writing a dump's PNG against libpng encoding the same
// picture at the same level.
#include <fcntl.h>
#include <png.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "compare.h"
#include "png_writer.h"
#include "read_picture.h"
#include "timing.h"

namespace {

const int kWidth = 1280, kHeight = 1024;

// A photo-like picture: smooth gradients with some noise, so that PNG has real work to do.
std::vector<unsigned char> make_pixels() {
    std::vector<unsigned char> pixels(size_t(kWidth) * kHeight * 3);
    unsigned noise = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            unsigned char *p = &pixels[(size_t(y) * kWidth + x) * 3];
            p[0] = (unsigned char)(x / 5 + ((noise >> 16) & 7));
            p[1] = (unsigned char)(y / 4 + ((noise >> 20) & 3));
            p[2] = (unsigned char)((x + y) / 9);
        }
    return pixels;
}

// The bench's own dump writer makes the files, then they are renamed.
void write_dump(std::vector<unsigned char> &pixels, const char *name) {
    fn_Log(8, NULL, kWidth, kHeight, pixels.data(), pixels.size());
    std::rename("test8.txt", name);
}

// The floor: a whole file into memory, as any reader must. `fresh` memory is new to the process, as
// in each run of the tool, which is a process of its own; otherwise the buffer of the round before
// is used again, so only the copy is measured.
size_t read_into_memory(const char *name, bool fresh) {
    static std::vector<char> reused(13107200, 1);
    int fd = open(name, O_RDONLY);
    size_t size = size_t(lseek(fd, 0, SEEK_END));
    lseek(fd, 0, SEEK_SET);
    void *block = fresh ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) : nullptr;
    char *bytes = fresh ? static_cast<char *>(block) : reused.data();
    size_t got = size_t(read(fd, bytes, size));
    close(fd);
    size_t first = size_t(bytes[0]);
    if (fresh) munmap(block, size);
    return got + first;
}

// Plain libpng at the tool's level: RGB rows from the picture, to a file.
void libpng_encode(const inspect::Picture &picture, const char *name) {
    FILE *file = fopen(name, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(size_t(picture.width) * 3);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_compression_level(png, inspect::kPngLevel);
        png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < picture.height; ++y) {
            const uint8_t *bgr = picture.at(0, y);
            for (int x = 0; x < picture.width; ++x) {
                row[3 * x] = bgr[3 * x + 2];
                row[3 * x + 1] = bgr[3 * x + 1];
                row[3 * x + 2] = bgr[3 * x];
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    fclose(file);  // the layer's fclose, as windows.h names it
}

}  // namespace

int main() {
    std::string dir = benchtime::enter_scratch_dir("inspect_bench");
    if (dir.empty()) return 1;
    int results = benchtime::silence_stdout();  // fn_Log's console lines go nowhere
    std::vector<unsigned char> pixels = make_pixels();
    write_dump(pixels, "a.txt");
    for (size_t i = 3 * 1000 * kWidth; i < 3 * 1010 * kWidth; ++i) pixels[i] ^= 5;  // a band of ten rows
    write_dump(pixels, "b.txt");
    benchtime::restore_stdout(results);

    inspect::ReadRequest request;
    uint64_t differing = 0;
    size_t sink = 0;
    auto compare_dumps = [&] {
        inspect::LoadedPicture a, b;
        inspect::read_both("a.txt", "b.txt", request, &a, &b);
        differing = inspect::compare(a.picture, b.picture, 0).differing;
    };
    double compare_ms, read_fresh_ms, read_reused_ms;
    benchtime::best_ms_interleaved(
        9, compare_dumps, [&] { sink += read_into_memory("a.txt", true) + read_into_memory("b.txt", true); },
        &compare_ms, &read_fresh_ms);
    read_reused_ms = benchtime::best_ms(9, [&] { sink += read_into_memory("a.txt", false) + read_into_memory("b.txt", false); });

    inspect::Picture picture = inspect::read_picture("a.txt", request).picture;
    double tool_png_ms, libpng_ms;
    benchtime::best_ms_interleaved(
        3, [&] { inspect::write_png("tool.png", inspect::read_picture("a.txt", request).picture); },
        [&] { libpng_encode(picture, "libpng.png"); }, &tool_png_ms, &libpng_ms);

    std::printf("gdibench-inspect, 1280 x 1024 three-number dumps of 13,107,200 bytes (best of several runs)\n");
    benchtime::report("floor: read both dumps into new memory", read_fresh_ms, read_fresh_ms, "floor", 0);
    benchtime::report("compare the two dumps (read, parse, compare)", compare_ms, read_fresh_ms, "floor", 1.5);
    benchtime::report("copy only: both dumps into reused memory", read_reused_ms, read_reused_ms, "copy", 0);
    benchtime::report("compare the two dumps, against the copy", compare_ms, read_reused_ms, "copy", 0);
    benchtime::report("floor: libpng encodes the picture", libpng_ms, libpng_ms, "libpng", 0);
    benchtime::report("PNG of a dump (read, parse, encode, rename)", tool_png_ms, libpng_ms, "libpng", 1.3);
    std::printf("differing pixels found: %llu (expected %d)\n", (unsigned long long)differing, 10 * kWidth);
    for (const char *name : {"a.txt", "b.txt", "tool.png", "libpng.png"}) std::remove(name);
    rmdir(dir.c_str());
    return sink == 0;
}
