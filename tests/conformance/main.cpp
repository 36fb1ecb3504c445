// The conformance run: the decoders and loaders against a corpus of real images that other
// people wrote, named by the environment variable BENCH_CORPUS. Without it the run is skipped.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

// CTest reports this exit code as a skipped test.
constexpr int kSkipped = 77;

int main(int argc, char **argv) {
    const char *corpus = std::getenv("BENCH_CORPUS");
    if (!corpus || !std::filesystem::is_directory(corpus)) {
        std::printf("conformance run skipped: set BENCH_CORPUS to a folder of real images\n");
        return kSkipped;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
