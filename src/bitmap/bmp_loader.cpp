// Loads a BMP file into a DIB section as it stands, and blits a bitmap to a device context.
#include <windows.h>
#include <stdlib.h>

#include "bitmap/bitmap.h"

// Zeroed room after the info block, so that masks and a full 256-entry colour table can be read
// even when the file's block is shorter than its header implies.
static const DWORD kTableSlack = 12 + 256 * sizeof(RGBQUAD);

// Reads the pixel bytes into the section, never more than the section holds.
static void ReadPixels(HANDLE file, const BITMAPFILEHEADER &fileHeader, HBITMAP section, void *bits) {
    BITMAP bm;
    if (GetObjectA(section, sizeof(bm), &bm) == 0) return;
    unsigned long long holds = (unsigned long long)bm.bmWidthBytes * (unsigned long long)bm.bmHeight;
    DWORD declared = fileHeader.bfSize - fileHeader.bfOffBits;
    DWORD count = declared < holds ? declared : (DWORD)holds;
    DWORD got = 0;
    ReadFile(file, bits, count, &got, NULL);
}

static HBITMAP LoadSection(HANDLE file) {
    BITMAPFILEHEADER fileHeader;
    DWORD got = 0;
    if (!ReadFile(file, &fileHeader, sizeof(fileHeader), &got, NULL) || got != sizeof(fileHeader)) return NULL;
    DWORD fileSize = GetFileSize(file, NULL);
    if (fileHeader.bfOffBits < sizeof(fileHeader) + sizeof(BITMAPCOREHEADER) || fileHeader.bfOffBits > fileSize)
        return NULL;

    DWORD infoSize = fileHeader.bfOffBits - sizeof(fileHeader);
    BITMAPINFO *info = (BITMAPINFO *)calloc(1, (size_t)infoSize + kTableSlack);
    if (info == NULL) return NULL;
    HBITMAP section = NULL;
    if (ReadFile(file, info, infoSize, &got, NULL) && got == infoSize && info->bmiHeader.biSize <= infoSize) {
        void *bits = NULL;
        section = CreateDIBSection(NULL, info, DIB_RGB_COLORS, &bits, NULL, 0);
        if (section != NULL && bits != NULL) ReadPixels(file, fileHeader, section, bits);
    }
    free(info);
    return section;
}

HBITMAP MakeDIBSection(char *fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return NULL;
    HBITMAP section = LoadSection(file);
    CloseHandle(file);
    return section;
}

// Copies the whole bitmap to the origin of hdc; x and y are not used. A null or non-bitmap
// handle draws nothing.
void fn_DrawBitmap(HDC hdc, int, int, HBITMAP hBitmap) {
    BITMAP bm;
    if (hBitmap == NULL || GetObjectA(hBitmap, sizeof(bm), &bm) == 0) return;
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ previous = SelectObject(memory, hBitmap);
    if (previous != NULL) {
        BitBlt(hdc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
}
