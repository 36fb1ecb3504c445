// JPEG transcoding of the bundled 1280 x 1024 sample at quality 100: the layer (Image load and Save
// to a memory stream) and the program's fn_JPG (which also writes "testC.jpg" and draws) against
// libjpeg-turbo decoding and encoding the same file directly, with the same 4:2:0 subsampling.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/test_window.h"
#include "timing.h"
#include "transcode_floor.h"
#include "transcode/transcode.h"

namespace {

const char kSample[] = BENCH_SAMPLES "/123A.jpg";
const CLSID kJpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// The baseline: read the file, decode to RGB, encode at quality 100 into memory.
size_t direct_transcode() { return benchfloor::direct_transcode(kSample).size(); }

// The layer: Image from the file, Save as JPEG at quality 100 into a fresh memory stream.
void layer_transcode() {
    ULONG quality = 100;
    Gdiplus::EncoderParameters params;
    params.Count = 1;
    params.Parameter[0].Guid = Gdiplus::EncoderQuality;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    params.Parameter[0].Value = &quality;
    static const std::wstring path(kSample, kSample + sizeof kSample - 1);
    Gdiplus::Image image(path.c_str());
    IStream *stream = NULL;
    if (CreateStreamOnHGlobal(NULL, TRUE, &stream) != S_OK) std::exit(1);
    if (image.Save(stream, &kJpegEncoder, &params) != Gdiplus::Ok) std::exit(1);
    stream->Release();
}

}  // namespace

int main() {
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, NULL) != Gdiplus::Ok || access(kSample, R_OK) != 0) {
        std::fprintf(stderr, "jpeg_bench: needs GDI+ and %s\n", kSample);
        return 1;
    }
    std::string dir = benchtime::enter_scratch_dir("jpeg_bench");
    if (dir.empty()) return 1;
    std::ofstream("123A.jpg", std::ios::binary) << std::ifstream(kSample, std::ios::binary).rdbuf();
    benchtest::TestWindow window(1280, 1024);

    const int runs = 15;
    double direct = 0, layer = 0, program = 0;
    // Interleaved rounds, best of each, so that drift on a shared machine hits all three alike.
    for (int round = 0; round < 3; ++round) {
        double d = benchtime::best_ms(runs, direct_transcode);
        double l = benchtime::best_ms(runs, layer_transcode);
        double p = benchtime::best_ms(runs, [&] { fn_JPG(window.dc()); });
        direct = round == 0 || d < direct ? d : direct;
        layer = round == 0 || l < layer ? l : layer;
        program = round == 0 || p < program ? p : program;
    }
    std::printf("1280 x 1024 sample, quality 100, 4:2:0 (%zu bytes out)\n", direct_transcode());
    benchtime::report("libjpeg-turbo decode + encode (baseline)", direct, direct, "baseline", 0);
    benchtime::report("layer: Image load + Save to stream", layer, direct, "baseline", 1.15);
    benchtime::report("fn_JPG: + write testC.jpg + draw", program, direct, "baseline", 0);
    std::printf("peak resident memory: %ld kB\n", benchtime::peak_rss_kb());
    unlink((dir + "/123A.jpg").c_str());
    unlink((dir + "/testC.jpg").c_str());
    rmdir(dir.c_str());
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
