// CloseHandle for every kind of kernel handle, and the current process.
#include <windows.h>
#include <unistd.h>

#include "core/handles.h"
#include "kernel/console.h"
#include "kernel/file_mapping.h"
#include "kernel/files.h"

extern "C" {

HANDLE WINAPI GetCurrentProcess(void) { return INVALID_HANDLE_VALUE; }

DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }

BOOL WINAPI CloseHandle(HANDLE handle) {
    bool closed = false;
    switch (layer::Kind(layer::kind_of(handle))) {
    case layer::Kind::File: closed = kernel::close_file(handle); break;
    case layer::Kind::Mapping: closed = kernel::close_mapping(handle); break;
    case layer::Kind::Console: closed = close_console_handle(handle); break;
    default: break;
    }
    if (!closed) SetLastError(ERROR_INVALID_HANDLE);
    return closed;
}

}  // extern "C"
