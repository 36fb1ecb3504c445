// Grabs a fixed 1280 x 1024 area of the window, dumps it and copies it back.
#include <windows.h>

#include "state/program_state.h"
#include "capture/capture.h"

static const int kGrabWidth = 1280;
static const int kGrabHeight = 1024;

int fn_GetPixel(HWND hwnd) {
    HDC hdc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(hdc);

    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kGrabWidth;
    info.bmiHeader.biHeight = -kGrabHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void *pixels = NULL;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, NULL, 0);

    if (section != NULL && pixels != NULL) {
        HGDIOBJ previous = SelectObject(memory, section);
        BitBlt(memory, 0, 0, kGrabWidth, kGrabHeight, hdc, 0, 0, SRCCOPY);
        fn_Log(key_num, hdc, kGrabWidth, kGrabHeight, (unsigned char *)pixels,
               (size_t)kGrabWidth * 3 * kGrabHeight);
        BitBlt(hdc, 0, 0, kGrabWidth, kGrabHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    if (section != NULL) DeleteObject(section);
    return ReleaseDC(hwnd, hdc);
}
