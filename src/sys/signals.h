// How signals end the process.
#pragma once
#include <signal.h>

namespace sys {

// A write to a closed pipe or past the file size limit fails (EPIPE, EFBIG) instead of ending the
// process, as writes fail on the platform. Ctrl-C, SIGTERM and SIGHUP remove the remembered
// temporary files, then end the process as the signal does by default. A signal that was
// ignored when the process started (nohup, a background job) stays ignored.
void take_process_signals();

// Holds Ctrl-C, SIGTERM and SIGHUP back for its life (in this thread), so that a temporary file
// is remembered before such a signal can end the process.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
    sigset_t previous_;
};

}  // namespace sys
