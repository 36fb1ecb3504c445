// The program-wide variables through which the key handler steers the experiments.
#pragma once
#include <windows.h>
#include <stdio.h>

extern signed char key;      // low 8 bits of the last virtual-key code
extern signed char key_num;  // the mode, 0 to 9
extern int g_val1;           // destination x and y of the pattern stretch
extern int g_val2;           // added to the destination width and height
extern int g_val3;           // source x and y
extern int g_val4;           // added to the source width and height
extern int rwsize;           // row stride of the pattern renderer's DIB
extern HBITMAP hBit;         // bitmap of the latest mode-9 paint
extern HANDLE h;             // console output handle
extern FILE *fr;             // stdout while it is bound to the console
