// Captures the client area into a 24-bit top-down DIB section whose pixel memory is a file
// mapping over "new.bmp", so the file receives the raw pixel array, then copies it back.
#include <windows.h>
#include <stdio.h>

#include "state/program_state.h"
#include "capture/capture.h"

struct Capture {
    int width;
    int height;
    int stride;
    int imageSize;
    BITMAPINFO info;
};

static Capture DescribeCapture(int width, int height) {
    Capture capture;
    capture.width = width;
    capture.height = height;
    capture.stride = ((24 * width + 31) / 32) * 4;
    capture.imageSize = capture.stride * height;
    ZeroMemory(&capture.info, sizeof(capture.info));
    BITMAPINFOHEADER &header = capture.info.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = (DWORD)((((width * 24) + 31) & ~31) >> 3) * height;
    return capture;
}

// Copies the captured lines into movable global memory, which nothing reads.
static void CopyIntoGlobalMemory(HDC hdc, HBITMAP section, Capture &capture) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)capture.stride * capture.height);
    void *lines = GlobalLock(block);
    GetDIBits(hdc, section, 0, capture.height, lines, &capture.info, DIB_RGB_COLORS);
    GlobalUnlock(block);
    GlobalFree(block);
}

int fn_GetRGB(HWND hwnd, HDC hdc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    printf("HWND %x HDC %x \n", (unsigned)(UINT_PTR)hwnd, (unsigned)(UINT_PTR)hdc);
    if (key_num == 0) fn_Log(0, hdc, width, height, NULL, 0);

    Capture capture = DescribeCapture(width, height);
    printf("%d %d %d %d %d \n", width, height, capture.stride, capture.imageSize, 3 * capture.imageSize);

    HANDLE file = CreateFileA("new.bmp", GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READWRITE, 0, (DWORD)capture.imageSize, NULL);
    if (mapping == NULL) {
        CloseHandle(file);
        return 0;
    }

    HDC memory = CreateCompatibleDC(hdc);
    void *sectionBits = NULL;
    HBITMAP section = CreateDIBSection(memory, &capture.info, DIB_RGB_COLORS, &sectionBits, mapping, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    if (section != NULL) {
        BitBlt(memory, 0, 0, width, height, hdc, 0, 0, SRCCOPY);
        BitBlt(hdc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }
    CloseHandle(file);
    CloseHandle(mapping);

    // The variants below work from this pointer, which nothing fills.
    unsigned char *pixels = NULL;
    HBITMAP deviceBitmap = NULL;
    if (key_num == 2) deviceBitmap = fn_hdc2HBitmap(hdc, width, height, 24, pixels);
    if (key_num == 4) GetDIBits(hdc, section, 0, height, pixels, &capture.info, DIB_RGB_COLORS);

    if (previous != NULL) SelectObject(memory, previous);
    if (key_num == 6) CopyIntoGlobalMemory(hdc, section, capture);
    if (section != NULL) DeleteObject(section);
    DeleteDC(memory);

    HBITMAP initialisedBitmap = NULL;
    if (key_num == 5)
        initialisedBitmap = CreateDIBitmap(hdc, &capture.info.bmiHeader, CBM_INIT, pixels, &capture.info,
                                           DIB_RGB_COLORS);
    if (key_num == 7) printf("%d %d %d \n", width, height, capture.stride);

    if (deviceBitmap != NULL) DeleteObject(deviceBitmap);
    if (initialisedBitmap != NULL) DeleteObject(initialisedBitmap);
    return 0;
}
