// The C runtime's file and memory calls as the platform's C runtime has them. The program's
// references to fopen, freopen, fclose, malloc, calloc and free are bound to these when its
// library is built (see CMakeLists.txt); no other code changes meaning.
#pragma once
#include <stddef.h>
#include <stdio.h>

extern "C" {
// Names only regular files: a FIFO, socket or device of that name is refused (errno EACCES)
// without waiting for its other end, and so is writing to a read-only file.
FILE *crt_fopen(const char *name, const char *mode);
// "CONOUT$" is the launching terminal; any other name is the C library's freopen.
FILE *crt_freopen(const char *name, const char *mode, FILE *stream);
// Closing the console's stream leaves it open on nothing, so that later output is dropped.
int crt_fclose(FILE *stream);

// As the C library's; blocks of a megabyte or more are large blocks (sys/large_blocks.h), so
// that a whole picture's buffer is not a page fault per 4 KB page.
void *crt_malloc(size_t bytes);
void *crt_calloc(size_t count, size_t size);
void crt_free(void *block);
void *crt_realloc(void *block, size_t bytes);
}
