// The C runtime's console device. A GUI program reopens stdout on "CONOUT$" and closes it at the
// end; here "CONOUT$" is the launching terminal, and closing it leaves stdout writing to nowhere
// instead of a dead stream, so later console output is dropped without harm.
#pragma once
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif
FILE *console_freopen(const char *name, const char *mode, FILE *stream);
int console_fclose(FILE *stream);
#ifdef __cplusplus
}
#endif

#define freopen console_freopen
#define fclose console_fclose
