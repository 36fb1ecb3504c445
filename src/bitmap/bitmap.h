// Bitmap files and synthetic drawing.
#pragma once
#include <windows.h>

HBITMAP MakeDIBSection(char *fileName);
void fn_DrawBitmap(HDC hdc, int x, int y, HBITMAP hBitmap);
void fn_draw(HWND hwnd, HDC hdc);
