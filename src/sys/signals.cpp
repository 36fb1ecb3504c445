#include "sys/signals.h"

#include <signal.h>

#include "sys/temporary_files.h"

namespace sys {
namespace {

// The disposition is reset to the default before this runs (SA_RESETHAND) and the signal is
// blocked meanwhile, so the one raised here ends the process as soon as this returns.
void remove_temporaries_and_end(int signal) {
    remove_temporaries();
    raise(signal);
}

constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP};

bool ignored(int signal) {
    struct sigaction current = {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void take_process_signals() {
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_IGN;
    for (int signal : {SIGPIPE, SIGXFSZ}) sigaction(signal, &action, nullptr);
    action.sa_handler = remove_temporaries_and_end;
    action.sa_flags = SA_RESETHAND;
    for (int signal : kEnding)
        if (!ignored(signal)) sigaction(signal, &action, nullptr);
}

SignalsHeld::SignalsHeld() {
    sigset_t ending;
    sigemptyset(&ending);
    for (int signal : kEnding) sigaddset(&ending, signal);
    pthread_sigmask(SIG_BLOCK, &ending, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace sys
