// Captures what a piece of code prints on stdout (the console lines of the program's routines).
#pragma once
#include <string>

namespace benchtest {

// Runs f with stdout captured and returns what it printed.
template <class F>
std::string capture_stdout(F f);

std::string begin_capture_and_run(void (*thunk)(void *), void *context);

template <class F>
std::string capture_stdout(F f) {
    return begin_capture_and_run([](void *context) { (*static_cast<F *>(context))(); }, &f);
}

}  // namespace benchtest
