// The process's one console: the terminal the process was started from.
#pragma once
#include <windows.h>

// CloseHandle's hook for console handles: true when the handle was one and is now closed.
bool close_console_handle(HANDLE handle);

namespace console {

// Keeps the launching terminal for the console and points standard output nowhere until a
// console is opened on it, so that only console output reaches the terminal's stdout.
void take_terminal();

}  // namespace console
