// Renders one of nine colour patterns into a client-sized 24-bit DIB and stretches it into a
// device context by the four offsets.
#include <windows.h>
#include <stdio.h>

#include "state/program_state.h"
#include "bitmap/bitmap.h"

// Each channel is (perRow * r + perColumn * c + base) mod 256, r counting memory rows.
struct Ramp {
    int perRow;
    int perColumn;
};
struct Pattern {
    Ramp blue, green, red;
};

// Patterns of the digits 1 to 9.
static const Pattern kPatterns[9] = {
    {{0, 0}, {0, 0}, {0, 0}}, {{0, 0}, {0, 0}, {2, 0}}, {{0, 0}, {0, 0}, {3, 0}},
    {{0, 0}, {0, 1}, {2, 0}}, {{0, 0}, {0, 2}, {2, 0}}, {{1, 0}, {0, 2}, {2, 0}},
    {{0, 1}, {0, 2}, {2, 0}}, {{0, 2}, {0, 2}, {2, 1}}, {{1, 1}, {1, 1}, {2, 1}},
};

static void FillRow(unsigned char *row, int width, int r, const Pattern &p) {
    unsigned char blue = (unsigned char)(p.blue.perRow * r + 44);
    unsigned char green = (unsigned char)(p.green.perRow * r + 33);
    unsigned char red = (unsigned char)(p.red.perRow * r + 22);
    for (int c = 0; c < width; ++c, row += 3) {
        row[0] = blue;
        row[1] = green;
        row[2] = red;
        blue = (unsigned char)(blue + p.blue.perColumn);
        green = (unsigned char)(green + p.green.perColumn);
        red = (unsigned char)(red + p.red.perColumn);
    }
}

// The selector is a digit's character code; any other value writes nothing.
static void FillPattern(unsigned char *bits, int width, int height, int selector) {
    if (selector < '1' || selector > '9') return;
    const Pattern &pattern = kPatterns[selector - '1'];
    for (int r = 0; r < height; ++r) FillRow(bits + (long long)r * rwsize, width, r, pattern);
}

void fn_draw(HWND hwnd, HDC hdc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int stride = ((24 * width + 31) / 32) * 4;

    BITMAPINFOHEADER header;
    ZeroMemory(&header, sizeof(header));
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = (DWORD)(stride * height);
    const BITMAPINFO *info = (const BITMAPINFO *)&header;

    void *bits = NULL;
    HBITMAP section = CreateDIBSection(hdc, info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ previous = SelectObject(memory, section);
    rwsize = stride;
    printf("size1 %d \n", (int)header.biSizeImage);

    // The mode picks the pattern of its own digit.
    if (bits != NULL) FillPattern((unsigned char *)bits, width, height, '0' + key_num);
    int previousMode = SetStretchBltMode(hdc, COLORONCOLOR);
    if (bits != NULL)
        StretchDIBits(hdc, g_val1, g_val1, width + g_val2, height + g_val2, g_val3, g_val3, width + g_val4,
                      height + g_val4, bits, info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(hdc, previousMode);

    if (previous != NULL) SelectObject(memory, previous);
    DeleteDC(memory);
    if (section != NULL) DeleteObject(section);
}
