// Pixel dumps: device pixels as raw bytes (type 0), or array bytes as "%3d" numbers.
#include <windows.h>
#include <stdio.h>

#include "state/program_state.h"
#include "capture/capture.h"
#include "capture/dump_writer.h"

static const char kRule[] = "-----------------------------------------------";

// "%3d" of every byte value followed by a space, so no element is formatted at run time. Copying
// four bytes at a time lets the next number overwrite the space, and the last one keep it.
struct ThreeDigitTable {
    char text[256][4];
    ThreeDigitTable() {
        for (int v = 0; v < 256; ++v) {
            char formatted[8];
            sprintf(formatted, "%3d ", v);
            memcpy(text[v], formatted, 4);
        }
    }
};
static const ThreeDigitTable kDigits;

char DumpWriter::buffer_[DumpWriter::kCapacity];

static long long RowStride24(int width) { return ((24LL * width + 31) / 32) * 4; }

// Bytes of the array that the dump reads, or -1 when the type reads no array.
static long long BytesNeeded(int type, int width, int height) {
    if (type == 0) return -1;
    if (width <= 0 || height <= 0) return 0;
    if (type == 1 || type == 8 || type == 9) return RowStride24(width) * (height - 1) + 3LL * width;
    if (rwsize < 0) return (long long)1 << 62;
    return (long long)rwsize * (height - 1) + width;
}

static bool Satisfiable(int type, int width, int height, const unsigned char *bytes, size_t length) {
    long long needed = BytesNeeded(type, width, height);
    if (needed <= 0) return true;
    return bytes != NULL && (unsigned long long)needed <= length;
}

// Device pixel at x = c, y = r as red, green, blue and a space.
static void WriteDevicePixels(DumpWriter &out, HDC hdc, int width, int height) {
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            COLORREF colour = GetPixel(hdc, c, r);
            char *p = out.Reserve(4);
            p[0] = (char)GetRValue(colour);
            p[1] = (char)GetGValue(colour);
            p[2] = (char)GetBValue(colour);
            p[3] = ' ';
            out.Commit(4);
        }
    }
}

// Pixel (r, c) of a 24-bit top-down array as its blue, green and red numbers and a space.
static void WritePixelNumbers(DumpWriter &out, const unsigned char *bytes, int width, int height) {
    const int kElementsPerChunk = (int)(DumpWriter::kCapacity / 10);
    long long stride = RowStride24(width);
    for (int r = 0; r < height; ++r) {
        const unsigned char *pixel = bytes + stride * r;
        for (int c = 0; c < width;) {
            int run = width - c < kElementsPerChunk ? width - c : kElementsPerChunk;
            char *p = out.Reserve(10 * (size_t)run);
            for (int i = 0; i < run; ++i, pixel += 3, p += 10) {
                memcpy(p, kDigits.text[pixel[0]], 4);
                memcpy(p + 3, kDigits.text[pixel[1]], 4);
                memcpy(p + 6, kDigits.text[pixel[2]], 4);
            }
            out.Commit(10 * (size_t)run);
            c += run;
        }
    }
}

// Byte rwsize * r + c as one number and a space.
static void WriteByteNumbers(DumpWriter &out, const unsigned char *bytes, int width, int height) {
    for (int r = 0; r < height; ++r) {
        const unsigned char *row = bytes + (long long)rwsize * r;
        for (int c = 0; c < width; ++c) {
            memcpy(out.Reserve(4), kDigits.text[row[c]], 4);
            out.Commit(4);
        }
    }
}

// False when the file did not take every byte.
static bool WriteElements(FILE *file, int type, HDC hdc, int width, int height, const unsigned char *bytes) {
    DumpWriter out(file);
    if (type == 0)
        WriteDevicePixels(out, hdc, width, height);
    else if (type == 1 || type == 8 || type == 9)
        WritePixelNumbers(out, bytes, width, height);
    else
        WriteByteNumbers(out, bytes, width, height);
    return out.Finish();
}

int fn_Log(int type, HDC hdc, int width, int height, unsigned char *bytes, size_t length) {
    puts(kRule);
    char name[100];
    sprintf(name, "test%d.txt", type);
    FILE *file = fopen(name, "wb");  // binary: a colour byte of 10 stays one byte
    if (file == NULL) return 0;
    if (!Satisfiable(type, width, height, bytes, length)) {
        fclose(file);
        return 0;
    }
    printf("DIB [%d] \n", type);
    bool written = WriteElements(file, type, hdc, width, height, bytes);
    puts(kRule);
    int closed = fclose(file);
    return written ? closed : EOF;  // a short write is reported like a failed close
}
