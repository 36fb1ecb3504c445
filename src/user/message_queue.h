// The thread's message queue: the posted messages and the quit flag.
#pragma once
#include <windows.h>

namespace user {

// A message stamped with the time it is made.
MSG make_msg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the message passes GetMessage's window and range filter.
bool matches(const MSG &msg, HWND hwnd, UINT first, UINT last);

// Queues the message; may throw std::bad_alloc.
void post(const MSG &msg);
// Takes the oldest posted message that passes the filter.
bool take_posted(HWND hwnd, UINT first, UINT last, MSG *out);
// Takes the WM_QUIT that PostQuitMessage asked for.
bool take_quit(MSG *out);

// Drops what was posted to a window that goes away.
void purge_posted(HWND hwnd);

}  // namespace user
