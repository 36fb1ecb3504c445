// DIB header helpers: a device-dependent bitmap from DIB bytes, colour-table counts and sizes.
#include <windows.h>

#include "capture/capture.h"

HBITMAP fn_hdc2HBitmap(HDC hdc, int width, int height, int bitcount, void *bits) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    BITMAPINFOHEADER &header = info.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = (WORD)bitcount;
    header.biCompression = BI_RGB;
    header.biSizeImage = (DWORD)((long long)((width + 3) & ~3) * height * bitcount / 8);
    return CreateDIBitmap(hdc, &header, CBM_INIT, bits, &info, DIB_RGB_COLORS);
}

static bool IsCoreHeader(const void *header) { return ((const BITMAPINFOHEADER *)header)->biSize == 12; }

DWORD DIBNumColors(void *header) {
    WORD bitCount;
    if (IsCoreHeader(header)) {
        bitCount = ((BITMAPCOREHEADER *)header)->bcBitCount;
    } else {
        const BITMAPINFOHEADER *info = (const BITMAPINFOHEADER *)header;
        if (info->biClrUsed != 0) return info->biClrUsed;
        bitCount = info->biBitCount;
    }
    return bitCount > 8 ? 0 : (DWORD)1 << bitCount;
}

DWORD ColorTableSize(void *header) {
    DWORD colours = DIBNumColors(header);
    if (IsCoreHeader(header)) return colours * sizeof(RGBTRIPLE);
    if (((const BITMAPINFOHEADER *)header)->biCompression == BI_BITFIELDS) return colours * sizeof(RGBQUAD) + 12;
    return colours * sizeof(RGBQUAD);
}
