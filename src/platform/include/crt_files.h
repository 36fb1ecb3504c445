// The C runtime's fopen as the platform has it: names only regular files. A FIFO, socket or
// device of that name is refused (errno EACCES) without waiting for its other end, and so is
// writing to a read-only file.
#pragma once
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif
FILE *crt_fopen(const char *name, const char *mode);
#ifdef __cplusplus
}
#endif

// The host (BENCH_HOST), which is no part of the program, keeps the C library's own fopen.
#ifndef BENCH_HOST
#define fopen crt_fopen
#endif
