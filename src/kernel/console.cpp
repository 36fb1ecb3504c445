#include "kernel/console.h"

#include <errno.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/faults.h"
#include "core/handles.h"
#include "core/out_of_memory.h"
#include "kernel/crt_calls.h"
#include "kernel/files.h"

namespace {

struct OutputBuffer {};

struct Console {
    bool allocated = false;
    HANDLE output = nullptr;
    FILE *bound = nullptr;  // the stream reopened on the console, until it is closed
    layer::HandleTable<OutputBuffer> handles{layer::Kind::Console};
};

Console &console_state() {
    static Console instance;
    return instance;
}

// The terminal's standard output as it was when the console module first looked.
int terminal_fd() {
    static int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    return fd;
}

bool redirect(FILE *stream, int fd) {
    std::fflush(stream);
    bool ok = fd >= 0 && dup2(fd, fileno(stream)) >= 0;
    std::clearerr(stream);
    return ok;
}

bool redirect_to_nowhere(FILE *stream) {
    int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    bool ok = redirect(stream, null_fd);
    if (null_fd >= 0) close(null_fd);
    return ok;
}

}  // namespace

bool close_console_handle(HANDLE handle) { return console_state().handles.remove(handle) != nullptr; }

void console::take_terminal() {
    terminal_fd();
    redirect_to_nowhere(stdout);
}

extern "C" BOOL WINAPI AllocConsole(void) try {
    Console &c = console_state();
    if (c.allocated) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (layer::injected_fault("AllocConsole")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    terminal_fd();
    c.output = c.handles.add(std::make_unique<OutputBuffer>());
    c.allocated = true;
    return TRUE;
} OUT_OF_MEMORY_RETURNS(FALSE)

extern "C" BOOL WINAPI FreeConsole(void) {
    Console &c = console_state();
    if (!c.allocated) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (c.bound) redirect_to_nowhere(c.bound);
    c.allocated = false;
    return TRUE;
}

// A GUI process has no standard input or error of its own; its output is the console's.
extern "C" HANDLE WINAPI GetStdHandle(DWORD which) {
    Console &c = console_state();
    switch (which) {
        case STD_OUTPUT_HANDLE:
            return c.allocated ? c.output : nullptr;
        case STD_INPUT_HANDLE:
        case STD_ERROR_HANDLE:
            return nullptr;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
}

FILE *crt_freopen(const char *name, const char *mode, FILE *stream) {
    Console &c = console_state();
    if (!name || strcasecmp(name, "CONOUT$") != 0) {
        if (stream == c.bound) c.bound = nullptr;
        FILE *reopened = std::freopen(name, mode, stream);
        if (!reopened && name) kernel::trace_failed_open(name, std::strerror(errno));
        return reopened;
    }
    if (!c.allocated || !stream || !redirect(stream, terminal_fd())) {
        errno = ENOENT;
        return nullptr;
    }
    // Each line reaches the console when it is written, as on the platform, even when the
    // terminal is a pipe or a file and the process is killed.
    std::setvbuf(stream, nullptr, _IOLBF, BUFSIZ);
    c.bound = stream;
    return stream;
}

int crt_fclose(FILE *stream) {
    if (!stream) {
        errno = EINVAL;
        return EOF;
    }
    Console &c = console_state();
    if (stream != c.bound) return std::fclose(stream);
    redirect_to_nowhere(stream);
    c.bound = nullptr;
    return 0;
}
