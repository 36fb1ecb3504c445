// Window capture, pixel dumps and DIB header helpers.
#pragma once
#include <windows.h>
#include <stddef.h>

// Writes a dump file "test<type>.txt". The byte array holds `length` bytes; a request that would
// read past it is refused (empty file, result 0).
int fn_Log(int type, HDC hdc, int width, int height, unsigned char *bytes, size_t length);
int fn_GetRGB(HWND hwnd, HDC hdc);
int fn_GetPixel(HWND hwnd);
HBITMAP fn_hdc2HBitmap(HDC hdc, int width, int height, int bitcount, void *bits);
DWORD DIBNumColors(void *header);
DWORD ColorTableSize(void *header);
