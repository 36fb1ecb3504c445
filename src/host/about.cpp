#include "host/about.h"

#include <cstdio>

#include "host/options.h"
#include "version/version.h"

namespace host {
namespace {

const char kAboutTheRun[] =
    "\n"
    "Files, all in the current directory (up to about 30 MB are written there):\n"
    "  123A.jpg   read by modes 1 and 8, which transcode it; without it they show\n"
    "             \"Failed to save to stream!\"\n"
    "  testA.bmp  read by mode 9, which draws it; without it mode 9 draws nothing\n"
    "  testC.jpg  written by modes 1 and 8: 123A.jpg again as JPEG at quality 100\n"
    "  new.bmp    written by mode 1: the client area as raw 24-bit top-down rows, no header (3.75 MB)\n"
    "  test8.txt  written by mode 8: blue, green, red of each of 1280 x 1024 pixels (12.5 MB)\n"
    "  test9.txt  written by mode 9: the same after drawing testA.bmp (12.5 MB)\n"
    "\n"
    "Keys (in the window, or in --keys):\n"
    "  0-9, Num0-Num9  choose the mode: 1 transcode and capture, 2-7 patterns, 8 transcode and\n"
    "                  dump, 9 draw testA.bmp and dump, 0 the white background\n"
    "  E/R D/F T/Y G/H the first, second, third, fourth offset -10/+10 (pattern position,\n"
    "                  size, source position, source size)\n"
    "  Esc, Q          quit (so does the close box)\n"
    "  Each key prints \"key CODE\" and \"key_num MODE\" and repaints.\n"
    "\n"
    "Environment:\n"
    "  BENCH_FAULTS=CALL[@N],...  make these Win32 calls fail (@N: only the N-th call);\n"
    "                             a bad rule is refused with the list of known calls\n"
    "  BENCH_REPORT=1             at exit, the GDI objects left and the peak memory (stderr)\n"
    "  BENCH_TRACE=1              why a file did not open, why a codec failed, and what the\n"
    "                             layer does not implement (stderr)\n"
    "\n"
    "Exit codes:\n"
    "  0  the program ended (Esc, Q, the close box, the end of a headless key script), whatever\n"
    "     its message boxes said\n"
    "  1  --window found no display, or the screenshot could not be written\n"
    "  2  a bad option (a --screenshot name it cannot write), key script (also a key name\n"
    "     refused as --keys-file is read) or BENCH_FAULTS rule\n";

}  // namespace

void print_help() {
    std::fputs(kUsage, stdout);
    std::fputs(kAboutTheRun, stdout);
}

void print_version() { std::printf("gdibench %s\n", BENCH_VERSION_TEXT); }

}  // namespace host
