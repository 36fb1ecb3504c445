// Temporary: console entry points exist so the tree links.
#include <windows.h>

bool close_console_handle(HANDLE) { return false; }

extern "C" {
BOOL WINAPI AllocConsole(void) { return FALSE; }
BOOL WINAPI FreeConsole(void) { return FALSE; }
HANDLE WINAPI GetStdHandle(DWORD) { return INVALID_HANDLE_VALUE; }
#undef freopen
#undef fclose
FILE *console_freopen(const char *, const char *, FILE *) { return nullptr; }
int console_fclose(FILE *stream) { return stream ? fclose(stream) : EOF; }
}
