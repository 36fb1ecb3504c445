// Image transcoding: encoder lookup and JPEG transcoding through a memory stream.
#pragma once
#include <windows.h>

int GetEncoderClsid(const WCHAR *format, CLSID *pClsid);
int fn_JPG(HDC hdc);
int fnConvert(HDC hdc);
