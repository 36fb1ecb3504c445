// Writes the test images into the folder given: bmp/, jpeg/ and png/, each with g/ (good), q/
// (questionable), b/ (bad), ref/ (expected renderings) and an INDEX.txt.
#include <cstdio>
#include <filesystem>

#include "test_images.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_images OUTPUT_DIR\n");
        return 2;
    }
    std::filesystem::remove_all(argv[1]);
    testimages::write_bmp_images(argv[1]);
    testimages::write_jpeg_images(argv[1]);
    testimages::write_png_images(argv[1]);
    return 0;
}
