// The thread's message queue: posted messages, the quit flag, synthesised paints and input.
#pragma once
#include <windows.h>

namespace user {

// Drops what was posted to a window that goes away.
void purge_posted(HWND hwnd);

}  // namespace user
