// Fuzzes the image loader: any bytes as an image file through GdipLoadImageFromFile; what loads is
// saved as JPEG at quality 100 into a memory stream, as the program does, then disposed of.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace {

const CLSID kJpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

struct Target {
    std::string path = "/tmp/image_loader_fuzz_" + std::to_string(getpid());
    std::wstring wide_path = std::wstring(path.begin(), path.end());
    ULONG quality = 100;
    Gdiplus::EncoderParameters params;

    Target() {
        ULONG_PTR token;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, NULL);
        params.Count = 1;
        params.Parameter[0].Guid = Gdiplus::EncoderQuality;
        params.Parameter[0].NumberOfValues = 1;
        params.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
        params.Parameter[0].Value = &quality;
    }
    ~Target() { unlink(path.c_str()); }

    bool write(const uint8_t *data, size_t size) const {
        FILE *file = fopen(path.c_str(), "wb");
        if (!file) return false;
        bool complete = fwrite(data, 1, size, file) == size;
        return fclose(file) == 0 && complete;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Target target;
    if (!target.write(data, size)) return 0;
    Gdiplus::Image image(target.wide_path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok) return 0;
    IStream *stream = NULL;
    if (CreateStreamOnHGlobal(NULL, TRUE, &stream) != S_OK) return 0;
    image.Save(stream, &kJpegEncoder, &target.params);
    stream->Release();
    return 0;
}
