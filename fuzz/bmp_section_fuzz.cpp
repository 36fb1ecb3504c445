// Fuzzes the BMP loader: any bytes as "testA.bmp" through MakeDIBSection and fn_DrawBitmap.
#include <windows.h>

#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "bitmap/bitmap.h"

namespace {

struct Target {
    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP surface = NULL;
    std::string path = "/tmp/bmp_section_fuzz_" + std::to_string(getpid()) + ".bmp";

    Target() {
        BITMAPINFO info;
        ZeroMemory(&info, sizeof(info));
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 256;
        info.bmiHeader.biHeight = -256;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = NULL;
        surface = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        SelectObject(memory, surface);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Target target;
    FILE *file = fopen(target.path.c_str(), "wb");
    if (!file) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    HBITMAP section = MakeDIBSection((char *)target.path.c_str());
    fn_DrawBitmap(target.memory, 0, 0, section);
    if (section) DeleteObject(section);
    return 0;
}
